#include "frames/CatSprite.h"

#include <QHash>
#include <QList>
#include <iterator>

namespace {

// The catalogue by family, in declaration order. A family without a frame count is one lone,
// unnumbered frame. Image names follow from the case names (see imageStem) except where a
// family gives its own stem.
struct Family {
    CatSprite::Case first;
    const char* caseName;
    int frames = 0;
    const char* stem = nullptr;
};

constexpr Family families[] = {
    {CatSprite::walk1, "walk", 38, "walk_plain_video_"},
    {CatSprite::walkLetter1, "walkLetter", 44, "walk_letter_video_"},
    {CatSprite::sitLetter, "sitLetter"},
    {CatSprite::sitLetterBlink, "sitLetterBlink"},
    {CatSprite::sit, "sit"},
    {CatSprite::sitBlink, "sitBlink"},
    {CatSprite::happy, "happy"},
    {CatSprite::pet, "pet"},
    {CatSprite::petLetter, "petLetter"},
    {CatSprite::snackGet1, "snackGet", 6},
    {CatSprite::snackEat1, "snackEat", 6},
    {CatSprite::sleep, "sleep"},
    {CatSprite::yawn, "yawn"},
    {CatSprite::wave1, "wave", 2},
    {CatSprite::fall, "fall"},
    {CatSprite::land, "land"},
    {CatSprite::climb1, "climb", 4},
    {CatSprite::over1, "over", 4, "climb_over_"},
    {CatSprite::heldSwing1, "heldSwing", 6},
    {CatSprite::heldAngry1, "heldAngry", 4},
    {CatSprite::gulp, "gulp"},
    // The hunting frames are numbered in the art, not named.
    {CatSprite::huntAmbush, "huntAmbush", 0, "hunt_1"},
    {CatSprite::huntPounce, "huntPounce", 0, "hunt_2"},
    {CatSprite::huntCaught, "huntCaught", 0, "hunt_3"},
    {CatSprite::bedEmpty, "bedEmpty"},
    {CatSprite::bedLook1, "bedLook", 27},
    {CatSprite::bedGroom1, "bedGroom", 44},
    {CatSprite::bedSausage1, "bedSausage", 52},
    {CatSprite::bedDoze1, "bedDoze", 46},
    {CatSprite::bedKnead1, "bedKnead", 56},
    {CatSprite::bedYawn1, "bedYawn", 26},
    {CatSprite::bedMusic1, "bedMusic", 68},
    {CatSprite::bedLaptop1, "bedLaptop", 88},
    {CatSprite::bedCocoa1, "bedCocoa", 53},
    {CatSprite::bedPhoneIn1, "bedPhoneIn", 54},
    {CatSprite::bedPhoneScroll1, "bedPhoneScroll", 50},
    {CatSprite::bedPhoneOut1, "bedPhoneOut", 61},
    {CatSprite::bedPhoneWatch1, "bedPhoneWatch", 44},
    {CatSprite::bedPhoneGiggle1, "bedPhoneGiggle", 62},
    {CatSprite::bedPhoneLike1, "bedPhoneLike", 73},
    {CatSprite::bedPhoneRoll1, "bedPhoneRoll", 81},
};

// The table must tile the enumeration exactly: each family starts where the previous one ends.
constexpr bool familiesTileTheCatalogue() {
    int next = 0;
    for (const Family& f : families) {
        if (f.first != next) return false;
        next += f.frames == 0 ? 1 : f.frames;
    }
    return next == CatSprite::count;
}
static_assert(familiesTileTheCatalogue());

// "bedPhoneIn" -> "bed_phone_in": split before each capital, lower-case, join with "_".
QString snakeCase(QLatin1String camel) {
    QString out;
    for (QChar c : QString(camel)) {
        if (c.isUpper()) {
            out += u'_';
            out += c.toLower();
        } else {
            out += c;
        }
    }
    return out;
}

const QList<QString>& imageNames() {
    static const QList<QString> names = [] {
        QList<QString> out;
        out.reserve(CatSprite::count);
        for (const Family& f : families) {
            const QString stem = f.stem ? QString::fromLatin1(f.stem)
                                        : snakeCase(QLatin1String(f.caseName)) +
                                              (f.frames ? QStringLiteral("_") : QString());
            if (f.frames == 0) out << stem;
            for (int n = 1; n <= f.frames; ++n)
                out << stem + QString::number(n);
        }
        return out;
    }();
    return names;
}

CatSprite lookUp(const QString& name) {
    const auto sprite = CatSprite::fromRawValue(name);
    if (!sprite) qFatal("no sprite named %s", qPrintable(name));
    return *sprite;
}

std::vector<CatSprite> numbered(const char* stem, int frames) {
    std::vector<CatSprite> out;
    for (int n = 1; n <= frames; ++n)
        out.push_back(lookUp(QLatin1String(stem) + QString::number(n)));
    return out;
}

} // namespace

QString CatSprite::rawValue() const {
    return imageNames().at(index());
}

std::optional<CatSprite> CatSprite::fromRawValue(QStringView name) {
    static const QHash<QString, CatSprite> byName = [] {
        QHash<QString, CatSprite> out;
        out.reserve(count);
        for (CatSprite sprite : allCases())
            out.insert(sprite.rawValue(), sprite);
        return out;
    }();
    const auto it = byName.constFind(name.toString());
    if (it == byName.constEnd()) return std::nullopt;
    return *it;
}

const std::vector<CatSprite>& CatSprite::allCases() {
    static const std::vector<CatSprite> all = [] {
        std::vector<CatSprite> out;
        out.reserve(count);
        for (int i = 0; i < count; ++i)
            out.push_back(CatSprite(Case(i)));
        return out;
    }();
    return all;
}

const std::vector<CatSprite>& CatSprite::walkLoop() {
    static const std::vector<CatSprite> loop = numbered("walk_plain_video_", 38);
    return loop;
}

const std::vector<CatSprite>& CatSprite::walkLetterLoop() {
    static const std::vector<CatSprite> loop = numbered("walk_letter_video_", 44);
    return loop;
}

const std::vector<CatSprite>& CatSprite::climbLoop() {
    static const std::vector<CatSprite> loop{climb1, climb2, climb3, climb4};
    return loop;
}

const std::vector<CatSprite>& CatSprite::chewing() {
    static const std::vector<CatSprite> frames{snackEat2, snackEat4};
    return frames;
}

bool CatSprite::isChewing() const {
    return value_ == snackEat2 || value_ == snackEat4;
}

const std::vector<CatSprite::SnackStep>& CatSprite::snack() {
    static const std::vector<SnackStep> steps{
        {snackGet1, 0.45}, {snackGet2, 0.4},  {snackGet3, 0.55}, {snackGet4, 0.4},
        {snackGet5, 0.8},  {snackGet6, 0.35}, {snackEat1, 0.4},  {snackEat2, 0.55},
        {snackEat3, 0.4},  {snackEat4, 0.55}, {snackEat5, 0.45}, {snackEat6, 1.0},
    };
    return steps;
}
