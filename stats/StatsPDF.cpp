#include "stats/StatsPDF.h"

#include "base/Calendar.h"
#include "base/Log.h"
#include "focus/FocusLog.h"
#include "stats/Export.h"
#include "stats/PdfBlocks.h"
#include "stats/PdfPagination.h"
#include "strings/Strings.h"

#include <QBuffer>
#include <QLayout>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QVBoxLayout>

namespace StatsPDF {

namespace {

// One A4 page: white, the blocks stacked from the top inside the margins.
class Page final : public QWidget {
  public:
    Page() {
        setAttribute(Qt::WA_DontShowOnScreen);
        setFixedSize(int(PdfPagination::pageWidth), int(PdfPagination::pageHeight));
        setAutoFillBackground(true);
        QPalette white = palette();
        white.setColor(QPalette::Window, Qt::white);
        setPalette(white);
        stack_ = new QVBoxLayout(this);
        const int m = int(PdfPagination::margin);
        stack_->setContentsMargins(m, m, m, m);
        stack_->setSpacing(int(PdfPagination::spacing));
    }
    void add(QWidget* block) {
        block->setParent(this);
        block->setFixedWidth(int(PdfPagination::contentWidth));
        stack_->addWidget(block, 0, Qt::AlignLeft);
    }
    void finish() { stack_->addStretch(1); }

  private:
    QVBoxLayout* stack_;
};

} // namespace

QString dayName(QDate date) {
    return QLocale().toString(date, QStringLiteral("dddd, d MMMM"));
}

double measure(QWidget& block) {
    const int width = int(PdfPagination::contentWidth);
    QLayout* layout = block.layout();
    if (!layout) return block.sizeHint().height();
    layout->activate();
    return layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                       : layout->totalSizeHint().height();
}

Layout pages(const FocusLog& log, const QDateTime& now) {
    const FocusLog::Week week = log.week(now, 8);
    const int streak = log.streak(now).dayCount;
    Layout out;
    out.blocks.push_back(std::make_unique<WeekHead>(week, streak, Calendar::dayOf(now)));
    for (const FocusDay& day : week.days)
        if (day.seconds >= 60) out.blocks.push_back(std::make_unique<DayBlock>(day));
    out.blocks.push_back(std::make_unique<SharesBlock>(S().activitiesThisWeek(), week.shares));
    QList<double> heights;
    for (const auto& block : out.blocks)
        heights.push_back(measure(*block));
    out.pages = PdfPagination::pages(heights);
    return out;
}

QByteArray data(const FocusLog& log, const QDateTime& now) {
    Layout layout = pages(log, now);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        Log::error(QStringLiteral("cannot make the stats PDF"));
        return {};
    }
    QPdfWriter writer(&buffer);
    writer.setResolution(72); // one device unit per point
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                     QPageLayout::Point));
    writer.setCreator(QStringLiteral("Purrlox"));
    writer.setTitle(S().weekInFocus());
    QPainter painter;
    if (!painter.begin(&writer)) {
        Log::error(QStringLiteral("cannot make the stats PDF"));
        return {};
    }
    for (qsizetype i = 0; i < layout.pages.size(); ++i) {
        if (i > 0 && !writer.newPage()) {
            Log::error(QStringLiteral("cannot make the stats PDF"));
            return {};
        }
        Page page;
        for (int block : layout.pages[i])
            page.add(layout.blocks[size_t(block)].release());
        page.finish();
        page.show(); // lays the page out without mapping a window
        page.render(&painter);
    }
    painter.end();
    buffer.close();
    if (bytes.isEmpty()) Log::error(QStringLiteral("cannot make the stats PDF"));
    return bytes;
}

void save(const FocusLog& log, const QDateTime& now) {
    const QByteArray pdf = data(log, now);
    if (pdf.isEmpty()) return;
    Export::save(pdf, Export::name(QStringLiteral("pdf"), Calendar::dayOf(now)), Export::Type::pdf);
}

} // namespace StatsPDF
