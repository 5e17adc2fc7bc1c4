#pragma once

#include "platform/Geometry.h"

#include <QHashFunctions>
#include <QPointF>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

// One still frame of the cat. The catalogue is fixed: every case has one image, named by
// rawValue() ("walk_plain_video_12", "bed_groom_3"), shipped as a resource of the app.
class CatSprite {
  public:
    // Declaration order is the catalogue order (allCases()). Several-frame families count from 1.
    // clang-format off
    enum Case : quint16 {
        walk1, walk2, walk3, walk4, walk5, walk6, walk7, walk8, walk9, walk10, walk11, walk12,
        walk13, walk14, walk15, walk16, walk17, walk18, walk19, walk20, walk21, walk22, walk23,
        walk24, walk25, walk26, walk27, walk28, walk29, walk30, walk31, walk32, walk33, walk34,
        walk35, walk36, walk37, walk38,
        walkLetter1, walkLetter2, walkLetter3, walkLetter4, walkLetter5, walkLetter6, walkLetter7,
        walkLetter8, walkLetter9, walkLetter10, walkLetter11, walkLetter12, walkLetter13,
        walkLetter14, walkLetter15, walkLetter16, walkLetter17, walkLetter18, walkLetter19,
        walkLetter20, walkLetter21, walkLetter22, walkLetter23, walkLetter24, walkLetter25,
        walkLetter26, walkLetter27, walkLetter28, walkLetter29, walkLetter30, walkLetter31,
        walkLetter32, walkLetter33, walkLetter34, walkLetter35, walkLetter36, walkLetter37,
        walkLetter38, walkLetter39, walkLetter40, walkLetter41, walkLetter42, walkLetter43,
        walkLetter44,
        sitLetter, sitLetterBlink, sit, sitBlink, happy, pet, petLetter,
        snackGet1, snackGet2, snackGet3, snackGet4, snackGet5, snackGet6,
        snackEat1, snackEat2, snackEat3, snackEat4, snackEat5, snackEat6,
        sleep, yawn,
        wave1, wave2,
        fall, land,
        climb1, climb2, climb3, climb4,
        over1, over2, over3, over4,
        heldSwing1, heldSwing2, heldSwing3, heldSwing4, heldSwing5, heldSwing6,
        heldAngry1, heldAngry2, heldAngry3, heldAngry4,
        gulp, huntAmbush, huntPounce, huntCaught, bedEmpty,
        bedLook1, bedLook2, bedLook3, bedLook4, bedLook5, bedLook6, bedLook7, bedLook8, bedLook9,
        bedLook10, bedLook11, bedLook12, bedLook13, bedLook14, bedLook15, bedLook16, bedLook17,
        bedLook18, bedLook19, bedLook20, bedLook21, bedLook22, bedLook23, bedLook24, bedLook25,
        bedLook26, bedLook27,
        bedGroom1, bedGroom2, bedGroom3, bedGroom4, bedGroom5, bedGroom6, bedGroom7, bedGroom8,
        bedGroom9, bedGroom10, bedGroom11, bedGroom12, bedGroom13, bedGroom14, bedGroom15,
        bedGroom16, bedGroom17, bedGroom18, bedGroom19, bedGroom20, bedGroom21, bedGroom22,
        bedGroom23, bedGroom24, bedGroom25, bedGroom26, bedGroom27, bedGroom28, bedGroom29,
        bedGroom30, bedGroom31, bedGroom32, bedGroom33, bedGroom34, bedGroom35, bedGroom36,
        bedGroom37, bedGroom38, bedGroom39, bedGroom40, bedGroom41, bedGroom42, bedGroom43,
        bedGroom44,
        bedSausage1, bedSausage2, bedSausage3, bedSausage4, bedSausage5, bedSausage6, bedSausage7,
        bedSausage8, bedSausage9, bedSausage10, bedSausage11, bedSausage12, bedSausage13,
        bedSausage14, bedSausage15, bedSausage16, bedSausage17, bedSausage18, bedSausage19,
        bedSausage20, bedSausage21, bedSausage22, bedSausage23, bedSausage24, bedSausage25,
        bedSausage26, bedSausage27, bedSausage28, bedSausage29, bedSausage30, bedSausage31,
        bedSausage32, bedSausage33, bedSausage34, bedSausage35, bedSausage36, bedSausage37,
        bedSausage38, bedSausage39, bedSausage40, bedSausage41, bedSausage42, bedSausage43,
        bedSausage44, bedSausage45, bedSausage46, bedSausage47, bedSausage48, bedSausage49,
        bedSausage50, bedSausage51, bedSausage52,
        bedDoze1, bedDoze2, bedDoze3, bedDoze4, bedDoze5, bedDoze6, bedDoze7, bedDoze8, bedDoze9,
        bedDoze10, bedDoze11, bedDoze12, bedDoze13, bedDoze14, bedDoze15, bedDoze16, bedDoze17,
        bedDoze18, bedDoze19, bedDoze20, bedDoze21, bedDoze22, bedDoze23, bedDoze24, bedDoze25,
        bedDoze26, bedDoze27, bedDoze28, bedDoze29, bedDoze30, bedDoze31, bedDoze32, bedDoze33,
        bedDoze34, bedDoze35, bedDoze36, bedDoze37, bedDoze38, bedDoze39, bedDoze40, bedDoze41,
        bedDoze42, bedDoze43, bedDoze44, bedDoze45, bedDoze46,
        bedKnead1, bedKnead2, bedKnead3, bedKnead4, bedKnead5, bedKnead6, bedKnead7, bedKnead8,
        bedKnead9, bedKnead10, bedKnead11, bedKnead12, bedKnead13, bedKnead14, bedKnead15,
        bedKnead16, bedKnead17, bedKnead18, bedKnead19, bedKnead20, bedKnead21, bedKnead22,
        bedKnead23, bedKnead24, bedKnead25, bedKnead26, bedKnead27, bedKnead28, bedKnead29,
        bedKnead30, bedKnead31, bedKnead32, bedKnead33, bedKnead34, bedKnead35, bedKnead36,
        bedKnead37, bedKnead38, bedKnead39, bedKnead40, bedKnead41, bedKnead42, bedKnead43,
        bedKnead44, bedKnead45, bedKnead46, bedKnead47, bedKnead48, bedKnead49, bedKnead50,
        bedKnead51, bedKnead52, bedKnead53, bedKnead54, bedKnead55, bedKnead56,
        bedYawn1, bedYawn2, bedYawn3, bedYawn4, bedYawn5, bedYawn6, bedYawn7, bedYawn8, bedYawn9,
        bedYawn10, bedYawn11, bedYawn12, bedYawn13, bedYawn14, bedYawn15, bedYawn16, bedYawn17,
        bedYawn18, bedYawn19, bedYawn20, bedYawn21, bedYawn22, bedYawn23, bedYawn24, bedYawn25,
        bedYawn26,
        bedMusic1, bedMusic2, bedMusic3, bedMusic4, bedMusic5, bedMusic6, bedMusic7, bedMusic8,
        bedMusic9, bedMusic10, bedMusic11, bedMusic12, bedMusic13, bedMusic14, bedMusic15,
        bedMusic16, bedMusic17, bedMusic18, bedMusic19, bedMusic20, bedMusic21, bedMusic22,
        bedMusic23, bedMusic24, bedMusic25, bedMusic26, bedMusic27, bedMusic28, bedMusic29,
        bedMusic30, bedMusic31, bedMusic32, bedMusic33, bedMusic34, bedMusic35, bedMusic36,
        bedMusic37, bedMusic38, bedMusic39, bedMusic40, bedMusic41, bedMusic42, bedMusic43,
        bedMusic44, bedMusic45, bedMusic46, bedMusic47, bedMusic48, bedMusic49, bedMusic50,
        bedMusic51, bedMusic52, bedMusic53, bedMusic54, bedMusic55, bedMusic56, bedMusic57,
        bedMusic58, bedMusic59, bedMusic60, bedMusic61, bedMusic62, bedMusic63, bedMusic64,
        bedMusic65, bedMusic66, bedMusic67, bedMusic68,
        bedLaptop1, bedLaptop2, bedLaptop3, bedLaptop4, bedLaptop5, bedLaptop6, bedLaptop7,
        bedLaptop8, bedLaptop9, bedLaptop10, bedLaptop11, bedLaptop12, bedLaptop13, bedLaptop14,
        bedLaptop15, bedLaptop16, bedLaptop17, bedLaptop18, bedLaptop19, bedLaptop20, bedLaptop21,
        bedLaptop22, bedLaptop23, bedLaptop24, bedLaptop25, bedLaptop26, bedLaptop27, bedLaptop28,
        bedLaptop29, bedLaptop30, bedLaptop31, bedLaptop32, bedLaptop33, bedLaptop34, bedLaptop35,
        bedLaptop36, bedLaptop37, bedLaptop38, bedLaptop39, bedLaptop40, bedLaptop41, bedLaptop42,
        bedLaptop43, bedLaptop44, bedLaptop45, bedLaptop46, bedLaptop47, bedLaptop48, bedLaptop49,
        bedLaptop50, bedLaptop51, bedLaptop52, bedLaptop53, bedLaptop54, bedLaptop55, bedLaptop56,
        bedLaptop57, bedLaptop58, bedLaptop59, bedLaptop60, bedLaptop61, bedLaptop62, bedLaptop63,
        bedLaptop64, bedLaptop65, bedLaptop66, bedLaptop67, bedLaptop68, bedLaptop69, bedLaptop70,
        bedLaptop71, bedLaptop72, bedLaptop73, bedLaptop74, bedLaptop75, bedLaptop76, bedLaptop77,
        bedLaptop78, bedLaptop79, bedLaptop80, bedLaptop81, bedLaptop82, bedLaptop83, bedLaptop84,
        bedLaptop85, bedLaptop86, bedLaptop87, bedLaptop88,
        bedCocoa1, bedCocoa2, bedCocoa3, bedCocoa4, bedCocoa5, bedCocoa6, bedCocoa7, bedCocoa8,
        bedCocoa9, bedCocoa10, bedCocoa11, bedCocoa12, bedCocoa13, bedCocoa14, bedCocoa15,
        bedCocoa16, bedCocoa17, bedCocoa18, bedCocoa19, bedCocoa20, bedCocoa21, bedCocoa22,
        bedCocoa23, bedCocoa24, bedCocoa25, bedCocoa26, bedCocoa27, bedCocoa28, bedCocoa29,
        bedCocoa30, bedCocoa31, bedCocoa32, bedCocoa33, bedCocoa34, bedCocoa35, bedCocoa36,
        bedCocoa37, bedCocoa38, bedCocoa39, bedCocoa40, bedCocoa41, bedCocoa42, bedCocoa43,
        bedCocoa44, bedCocoa45, bedCocoa46, bedCocoa47, bedCocoa48, bedCocoa49, bedCocoa50,
        bedCocoa51, bedCocoa52, bedCocoa53,
        bedPhoneIn1, bedPhoneIn2, bedPhoneIn3, bedPhoneIn4, bedPhoneIn5, bedPhoneIn6, bedPhoneIn7,
        bedPhoneIn8, bedPhoneIn9, bedPhoneIn10, bedPhoneIn11, bedPhoneIn12, bedPhoneIn13,
        bedPhoneIn14, bedPhoneIn15, bedPhoneIn16, bedPhoneIn17, bedPhoneIn18, bedPhoneIn19,
        bedPhoneIn20, bedPhoneIn21, bedPhoneIn22, bedPhoneIn23, bedPhoneIn24, bedPhoneIn25,
        bedPhoneIn26, bedPhoneIn27, bedPhoneIn28, bedPhoneIn29, bedPhoneIn30, bedPhoneIn31,
        bedPhoneIn32, bedPhoneIn33, bedPhoneIn34, bedPhoneIn35, bedPhoneIn36, bedPhoneIn37,
        bedPhoneIn38, bedPhoneIn39, bedPhoneIn40, bedPhoneIn41, bedPhoneIn42, bedPhoneIn43,
        bedPhoneIn44, bedPhoneIn45, bedPhoneIn46, bedPhoneIn47, bedPhoneIn48, bedPhoneIn49,
        bedPhoneIn50, bedPhoneIn51, bedPhoneIn52, bedPhoneIn53, bedPhoneIn54,
        bedPhoneScroll1, bedPhoneScroll2, bedPhoneScroll3, bedPhoneScroll4, bedPhoneScroll5,
        bedPhoneScroll6, bedPhoneScroll7, bedPhoneScroll8, bedPhoneScroll9, bedPhoneScroll10,
        bedPhoneScroll11, bedPhoneScroll12, bedPhoneScroll13, bedPhoneScroll14, bedPhoneScroll15,
        bedPhoneScroll16, bedPhoneScroll17, bedPhoneScroll18, bedPhoneScroll19, bedPhoneScroll20,
        bedPhoneScroll21, bedPhoneScroll22, bedPhoneScroll23, bedPhoneScroll24, bedPhoneScroll25,
        bedPhoneScroll26, bedPhoneScroll27, bedPhoneScroll28, bedPhoneScroll29, bedPhoneScroll30,
        bedPhoneScroll31, bedPhoneScroll32, bedPhoneScroll33, bedPhoneScroll34, bedPhoneScroll35,
        bedPhoneScroll36, bedPhoneScroll37, bedPhoneScroll38, bedPhoneScroll39, bedPhoneScroll40,
        bedPhoneScroll41, bedPhoneScroll42, bedPhoneScroll43, bedPhoneScroll44, bedPhoneScroll45,
        bedPhoneScroll46, bedPhoneScroll47, bedPhoneScroll48, bedPhoneScroll49, bedPhoneScroll50,
        bedPhoneOut1, bedPhoneOut2, bedPhoneOut3, bedPhoneOut4, bedPhoneOut5, bedPhoneOut6,
        bedPhoneOut7, bedPhoneOut8, bedPhoneOut9, bedPhoneOut10, bedPhoneOut11, bedPhoneOut12,
        bedPhoneOut13, bedPhoneOut14, bedPhoneOut15, bedPhoneOut16, bedPhoneOut17, bedPhoneOut18,
        bedPhoneOut19, bedPhoneOut20, bedPhoneOut21, bedPhoneOut22, bedPhoneOut23, bedPhoneOut24,
        bedPhoneOut25, bedPhoneOut26, bedPhoneOut27, bedPhoneOut28, bedPhoneOut29, bedPhoneOut30,
        bedPhoneOut31, bedPhoneOut32, bedPhoneOut33, bedPhoneOut34, bedPhoneOut35, bedPhoneOut36,
        bedPhoneOut37, bedPhoneOut38, bedPhoneOut39, bedPhoneOut40, bedPhoneOut41, bedPhoneOut42,
        bedPhoneOut43, bedPhoneOut44, bedPhoneOut45, bedPhoneOut46, bedPhoneOut47, bedPhoneOut48,
        bedPhoneOut49, bedPhoneOut50, bedPhoneOut51, bedPhoneOut52, bedPhoneOut53, bedPhoneOut54,
        bedPhoneOut55, bedPhoneOut56, bedPhoneOut57, bedPhoneOut58, bedPhoneOut59, bedPhoneOut60,
        bedPhoneOut61,
        bedPhoneWatch1, bedPhoneWatch2, bedPhoneWatch3, bedPhoneWatch4, bedPhoneWatch5,
        bedPhoneWatch6, bedPhoneWatch7, bedPhoneWatch8, bedPhoneWatch9, bedPhoneWatch10,
        bedPhoneWatch11, bedPhoneWatch12, bedPhoneWatch13, bedPhoneWatch14, bedPhoneWatch15,
        bedPhoneWatch16, bedPhoneWatch17, bedPhoneWatch18, bedPhoneWatch19, bedPhoneWatch20,
        bedPhoneWatch21, bedPhoneWatch22, bedPhoneWatch23, bedPhoneWatch24, bedPhoneWatch25,
        bedPhoneWatch26, bedPhoneWatch27, bedPhoneWatch28, bedPhoneWatch29, bedPhoneWatch30,
        bedPhoneWatch31, bedPhoneWatch32, bedPhoneWatch33, bedPhoneWatch34, bedPhoneWatch35,
        bedPhoneWatch36, bedPhoneWatch37, bedPhoneWatch38, bedPhoneWatch39, bedPhoneWatch40,
        bedPhoneWatch41, bedPhoneWatch42, bedPhoneWatch43, bedPhoneWatch44,
        bedPhoneGiggle1, bedPhoneGiggle2, bedPhoneGiggle3, bedPhoneGiggle4, bedPhoneGiggle5,
        bedPhoneGiggle6, bedPhoneGiggle7, bedPhoneGiggle8, bedPhoneGiggle9, bedPhoneGiggle10,
        bedPhoneGiggle11, bedPhoneGiggle12, bedPhoneGiggle13, bedPhoneGiggle14, bedPhoneGiggle15,
        bedPhoneGiggle16, bedPhoneGiggle17, bedPhoneGiggle18, bedPhoneGiggle19, bedPhoneGiggle20,
        bedPhoneGiggle21, bedPhoneGiggle22, bedPhoneGiggle23, bedPhoneGiggle24, bedPhoneGiggle25,
        bedPhoneGiggle26, bedPhoneGiggle27, bedPhoneGiggle28, bedPhoneGiggle29, bedPhoneGiggle30,
        bedPhoneGiggle31, bedPhoneGiggle32, bedPhoneGiggle33, bedPhoneGiggle34, bedPhoneGiggle35,
        bedPhoneGiggle36, bedPhoneGiggle37, bedPhoneGiggle38, bedPhoneGiggle39, bedPhoneGiggle40,
        bedPhoneGiggle41, bedPhoneGiggle42, bedPhoneGiggle43, bedPhoneGiggle44, bedPhoneGiggle45,
        bedPhoneGiggle46, bedPhoneGiggle47, bedPhoneGiggle48, bedPhoneGiggle49, bedPhoneGiggle50,
        bedPhoneGiggle51, bedPhoneGiggle52, bedPhoneGiggle53, bedPhoneGiggle54, bedPhoneGiggle55,
        bedPhoneGiggle56, bedPhoneGiggle57, bedPhoneGiggle58, bedPhoneGiggle59, bedPhoneGiggle60,
        bedPhoneGiggle61, bedPhoneGiggle62,
        bedPhoneLike1, bedPhoneLike2, bedPhoneLike3, bedPhoneLike4, bedPhoneLike5, bedPhoneLike6,
        bedPhoneLike7, bedPhoneLike8, bedPhoneLike9, bedPhoneLike10, bedPhoneLike11, bedPhoneLike12,
        bedPhoneLike13, bedPhoneLike14, bedPhoneLike15, bedPhoneLike16, bedPhoneLike17,
        bedPhoneLike18, bedPhoneLike19, bedPhoneLike20, bedPhoneLike21, bedPhoneLike22,
        bedPhoneLike23, bedPhoneLike24, bedPhoneLike25, bedPhoneLike26, bedPhoneLike27,
        bedPhoneLike28, bedPhoneLike29, bedPhoneLike30, bedPhoneLike31, bedPhoneLike32,
        bedPhoneLike33, bedPhoneLike34, bedPhoneLike35, bedPhoneLike36, bedPhoneLike37,
        bedPhoneLike38, bedPhoneLike39, bedPhoneLike40, bedPhoneLike41, bedPhoneLike42,
        bedPhoneLike43, bedPhoneLike44, bedPhoneLike45, bedPhoneLike46, bedPhoneLike47,
        bedPhoneLike48, bedPhoneLike49, bedPhoneLike50, bedPhoneLike51, bedPhoneLike52,
        bedPhoneLike53, bedPhoneLike54, bedPhoneLike55, bedPhoneLike56, bedPhoneLike57,
        bedPhoneLike58, bedPhoneLike59, bedPhoneLike60, bedPhoneLike61, bedPhoneLike62,
        bedPhoneLike63, bedPhoneLike64, bedPhoneLike65, bedPhoneLike66, bedPhoneLike67,
        bedPhoneLike68, bedPhoneLike69, bedPhoneLike70, bedPhoneLike71, bedPhoneLike72,
        bedPhoneLike73,
        bedPhoneRoll1, bedPhoneRoll2, bedPhoneRoll3, bedPhoneRoll4, bedPhoneRoll5, bedPhoneRoll6,
        bedPhoneRoll7, bedPhoneRoll8, bedPhoneRoll9, bedPhoneRoll10, bedPhoneRoll11, bedPhoneRoll12,
        bedPhoneRoll13, bedPhoneRoll14, bedPhoneRoll15, bedPhoneRoll16, bedPhoneRoll17,
        bedPhoneRoll18, bedPhoneRoll19, bedPhoneRoll20, bedPhoneRoll21, bedPhoneRoll22,
        bedPhoneRoll23, bedPhoneRoll24, bedPhoneRoll25, bedPhoneRoll26, bedPhoneRoll27,
        bedPhoneRoll28, bedPhoneRoll29, bedPhoneRoll30, bedPhoneRoll31, bedPhoneRoll32,
        bedPhoneRoll33, bedPhoneRoll34, bedPhoneRoll35, bedPhoneRoll36, bedPhoneRoll37,
        bedPhoneRoll38, bedPhoneRoll39, bedPhoneRoll40, bedPhoneRoll41, bedPhoneRoll42,
        bedPhoneRoll43, bedPhoneRoll44, bedPhoneRoll45, bedPhoneRoll46, bedPhoneRoll47,
        bedPhoneRoll48, bedPhoneRoll49, bedPhoneRoll50, bedPhoneRoll51, bedPhoneRoll52,
        bedPhoneRoll53, bedPhoneRoll54, bedPhoneRoll55, bedPhoneRoll56, bedPhoneRoll57,
        bedPhoneRoll58, bedPhoneRoll59, bedPhoneRoll60, bedPhoneRoll61, bedPhoneRoll62,
        bedPhoneRoll63, bedPhoneRoll64, bedPhoneRoll65, bedPhoneRoll66, bedPhoneRoll67,
        bedPhoneRoll68, bedPhoneRoll69, bedPhoneRoll70, bedPhoneRoll71, bedPhoneRoll72,
        bedPhoneRoll73, bedPhoneRoll74, bedPhoneRoll75, bedPhoneRoll76, bedPhoneRoll77,
        bedPhoneRoll78, bedPhoneRoll79, bedPhoneRoll80, bedPhoneRoll81
    };
    // clang-format on
    static constexpr int count = 1015;

    constexpr CatSprite(Case value) : value_(value) {}

    constexpr Case value() const { return value_; }
    constexpr int index() const { return value_; }

    // The frame's image name; fromRawValue() is its exact, case-sensitive inverse.
    QString rawValue() const;
    static std::optional<CatSprite> fromRawValue(QStringView name);
    static const std::vector<CatSprite>& allCases();

    friend constexpr auto operator<=>(CatSprite, CatSprite) = default;

    // Fixed sequences.
    struct SnackStep; // {sprite, seconds}
    static const std::vector<CatSprite>& walkLoop();
    static const std::vector<CatSprite>& walkLetterLoop();
    static const std::vector<CatSprite>& climbLoop();
    static const std::vector<CatSprite>& chewing(); // the snack frames that chew eaten files too
    bool isChewing() const;
    static const std::vector<SnackStep>& snack();

    // What the cat holds in its bed; the bed clips begin and end with one.
    enum class Hold { nothing, phone };
    struct BedClip; // sprites/BedClip.h

    // A frame's shape in its own points: origin at the image's bottom-left, y up.
    struct Geometry {
        Rect bounds;        // smallest rectangle around every opaque pixel
        QPointF hangPoint;  // where the cat hangs when held
        QPointF massCenter; // mean of the opaque pixels
    };

    // 8-bit premultiplied RGBA pixels, row 0 at the top. Not owned.
    struct Bitmap {
        int width = 0;
        int height = 0;
        double pointsPerPixel = 0.5;
        const uchar* rgba = nullptr;
        qsizetype bytesPerLine = 0;
    };

    // The pixel scan behind geometry(); stops the app when nothing in the bitmap is opaque.
    static Geometry computeGeometry(const Bitmap& bitmap, QStringView name);

    // Where geometry() gets its pixels: the gui installs the frame images, tests their own.
    // The returned pixels only have to stay valid until geometry() has scanned them.
    static void setBitmapSource(std::function<Bitmap(CatSprite)> source);

    // Computed on first request per frame and kept for the life of the process. Main thread.
    static const Geometry& geometry(CatSprite sprite);

  private:
    Case value_;
};

static_assert(CatSprite::bedPhoneRoll81 + 1 == CatSprite::count);

struct CatSprite::SnackStep {
    CatSprite sprite;
    double seconds;
};

inline size_t qHash(CatSprite sprite, size_t seed = 0) noexcept {
    return qHash(sprite.index(), seed);
}

template <> struct std::hash<CatSprite> {
    size_t operator()(CatSprite sprite) const noexcept { return std::hash<int>()(sprite.index()); }
};
