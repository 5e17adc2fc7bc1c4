#include "fakes/Wait.h"
#include "kit/Card.h"
#include "kit/ChunkyButton.h"
#include "kit/CuteToggle.h"
#include "kit/FieldCard.h"
#include "kit/QuietButton.h"
#include "kit/Theme.h"

#include <QBuffer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QImage render(QWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool near(QColor a, const QColor& b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Scans a column from the top for the first pixel near `colour`.
int firstRowOf(const QImage& image, int x, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        if (near(image.pixelColor(x, y), colour) && image.pixelColor(x, y).alpha() > 200) return y;
    return -1;
}

void press(QWidget& w, QPoint at, QEvent::Type type) {
    QMouseEvent event(type, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

// The fill colours set in a PDF's content streams ("r g b scn"), streams inflated.
QList<QColor> pdfFills(const QByteArray& pdf) {
    QList<QColor> fills;
    static const QRegularExpression fill(QStringLiteral("([0-9.]+) ([0-9.]+) ([0-9.]+) scn"));
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream\n", at)) >= 0) {
        at += 7;
        const qsizetype end = pdf.indexOf("endstream", at);
        if (end < 0) break;
        QByteArray raw = pdf.mid(at, end - at);
        QByteArray sized(4, 0); // qUncompress wants the expected size in front
        sized[1] = 0x10;
        const QByteArray text = qUncompress(sized + raw);
        for (const auto& m : fill.globalMatch(QString::fromLatin1(text.isEmpty() ? raw : text)))
            fills.append(QColor::fromRgbF(m.captured(1).toFloat(), m.captured(2).toFloat(),
                                          m.captured(3).toFloat()));
        at = end;
    }
    return fills;
}

} // namespace

TEST(ChunkyButton, FaceRestsOnItsBaseSinksWhenPressedAndFadesWhenDisabled) {
    ChunkyButton button(QStringLiteral("Start"), {Theme::pink(), 14});
    const QSize hint = button.sizeHint();
    // Padding 14 each side and 0.55 × 14 above and below the text, plus the 3-point base.
    EXPECT_GT(hint.width(), 28 + 20);
    EXPECT_NEAR(hint.height(), QFontMetricsF(button.font()).height() + 2 * 7.7 + 3, 1);
    button.resize(hint);

    const int x = 10; // left of the label, inside the capsule
    const QImage rest = render(button);
    const int faceTop = firstRowOf(rest, hint.width() / 2, Theme::pink());
    ASSERT_GT(faceTop, 0);
    // The bottom rows are the ink base, showing 3 points under the face.
    EXPECT_TRUE(near(rest.pixelColor(hint.width() / 2, hint.height() - 2), Theme::ink()));
    EXPECT_TRUE(near(rest.pixelColor(x, hint.height() / 2), Theme::pink()));

    button.setDown(true);
    const QImage down = render(button);
    EXPECT_EQ(firstRowOf(down, hint.width() / 2, Theme::pink()), faceTop + 3);

    // Disabled: 45 % opacity and no sinking, even while held down.
    button.setEnabled(false);
    const QImage faded = render(button);
    EXPECT_EQ(firstRowOf(faded, hint.width() / 2, Theme::pink()), -1); // never fully opaque
    const QColor fill = faded.pixelColor(x, hint.height() / 2);
    EXPECT_NEAR(fill.alphaF(), 0.45, 0.02);
    EXPECT_TRUE(near(QColor(fill.red(), fill.green(), fill.blue()), Theme::pink()));
}

TEST(ChunkyButton, ClicksCountInsideTheCapsuleOnly) {
    ChunkyButton button(QStringLiteral("25"), {Theme::sky(), 11});
    button.resize(button.sizeHint());
    int clicked = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicked; });
    press(button, QPoint(0, 0), QEvent::MouseButtonPress); // the rounded-off corner
    press(button, QPoint(0, 0), QEvent::MouseButtonRelease);
    EXPECT_EQ(clicked, 0);
    const QPoint centre = button.rect().center();
    press(button, centre, QEvent::MouseButtonPress);
    EXPECT_TRUE(button.isDown());
    press(button, centre, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicked, 1);
}

TEST(CuteToggle, SlidesItsKnobWithoutOvershootAndFlipsOnAClickAnywhere) {
    // The easing: starts at 0, ends at 1, never decreases and never passes 1.
    double last = 0;
    EXPECT_DOUBLE_EQ(CuteToggle::spring(0), 0);
    for (int i = 1; i <= 100; ++i) {
        const double v = CuteToggle::spring(i / 100.0);
        EXPECT_GE(v, last);
        EXPECT_LE(v, 1.0);
        last = v;
    }
    EXPECT_DOUBLE_EQ(CuteToggle::spring(1), 1);
    EXPECT_GT(CuteToggle::spring(0.5), 0.85); // most of the way early, then settling

    CuteToggle toggle(QStringLiteral("Open at login"));
    toggle.resize(260, toggle.sizeHint().height());
    int toggled = 0;
    QObject::connect(&toggle, &QAbstractButton::toggled, [&] { ++toggled; });
    press(toggle, QPoint(5, 5), QEvent::MouseButtonPress); // on the label, far from the switch
    press(toggle, QPoint(5, 5), QEvent::MouseButtonRelease);
    ASSERT_EQ(toggled, 1);
    EXPECT_TRUE(toggle.isChecked());
    double highest = 0;
    bool moving = false;
    EXPECT_TRUE(waitFor([&] {
        highest = std::max(highest, toggle.knob());
        moving = moving || (toggle.knob() > 0 && toggle.knob() < 1);
        return toggle.knob() == 1.0;
    }));
    EXPECT_TRUE(moving); // it slid, it did not jump
    EXPECT_LE(highest, 1.0);

    // A state read from a model is shown at once and raises no toggled signal.
    toggle.setCheckedNow(false);
    EXPECT_EQ(toggle.knob(), 0);
    EXPECT_EQ(toggled, 1);

    // On: the trailing part of the track is pink and the knob sits at the right.
    toggle.setCheckedNow(true);
    const QImage on = render(toggle);
    const int y = toggle.height() / 2;
    EXPECT_TRUE(near(on.pixelColor(toggle.width() - 38 + 6, y), Theme::pink()));
    EXPECT_TRUE(near(on.pixelColor(toggle.width() - 11, y), Qt::white));
}

TEST(Controls, RenderTheSameLookIntoAnImageAndAPdf) {
    QWidget page;
    page.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Theme::cream());
    page.setPalette(palette);
    auto* column = new QVBoxLayout(&page);
    auto* card = new Card;
    auto* inside = new QVBoxLayout(card);
    inside->setContentsMargins(14, 14, 14, 14);
    inside->addWidget(new FieldCard(QStringLiteral("What are we working on?")));
    inside->addWidget(new ChunkyButton(QStringLiteral("Start"), {Theme::pink(), 14}));
    inside->addWidget(new QuietButton(QStringLiteral("Quit")));
    column->addWidget(card);
    page.setFixedWidth(310);
    page.adjustSize();

    // Image, at two pixels per point: the card's face is paper, its lift ink.
    QImage image(page.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    page.render(&image);
    const QRect face = card->geometry();
    EXPECT_TRUE(near(image.pixelColor(2 * face.x() + 30, 2 * face.y() + 8), Theme::paper()));
    EXPECT_TRUE(near(image.pixelColor(2 * (face.x() + face.width() / 2), 2 * face.bottom() - 1),
                     Theme::ink()));
    EXPECT_TRUE(near(image.pixelColor(4, 4), Theme::cream()));

    // PDF: the same widgets paint into a PDF page, fills and all.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(page.width(), page.height()), QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        page.render(&painter);
    }
    const QByteArray bytes = pdf.data();
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    const QList<QColor> fills = pdfFills(bytes);
    auto has = [&](const QColor& c) {
        return std::any_of(fills.begin(), fills.end(),
                           [&](const QColor& f) { return near(f, c, 1); });
    };
    EXPECT_TRUE(has(Theme::pink())) << "no pink fill in the PDF";
    EXPECT_TRUE(has(Theme::paper())) << "no paper fill in the PDF";
    EXPECT_TRUE(has(Theme::ink())) << "no ink in the PDF";
}
