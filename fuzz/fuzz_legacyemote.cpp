// Member names to JSON keys, and the legacy emote rules, on any text: no
// crash, no hang, the same answer every time. The emote order must be a strict
// weak order, or the stable sort of a description's emotes is undefined; an
// emote and its rules come back unchanged through their JSON form.
//
// Input: up to three texts separated by line feeds (UTF-8).

#include "fuzz/fuzzsupport.h"
#include "model/keyname.h"
#include "model/legacyemote.h"

#include <cstddef>
#include <cstdint>

namespace {

using CsActor::legacyEmoteLess;

void checkOrder(const QString &a, const QString &b, const QString &c)
{
    const auto same
        = [](const QString &x, const QString &y) { return !legacyEmoteLess(x, y) && !legacyEmoteLess(y, x); };
    const QString detail = QStringList{a, b, c}.join(QLatin1Char('|'));
    Fuzz::require(!legacyEmoteLess(a, a), "the order is irreflexive", detail);
    Fuzz::require(!(legacyEmoteLess(a, b) && legacyEmoteLess(b, a)), "the order is asymmetric", detail);
    if (legacyEmoteLess(a, b) && legacyEmoteLess(b, c))
        Fuzz::require(legacyEmoteLess(a, c), "the order is transitive", detail);
    if (same(a, b) && same(b, c))
        Fuzz::require(same(a, c), "equal keys are equal all round", detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList texts
        = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size)).split(QLatin1Char('\n'));
    const QString a = texts.value(0);
    const QString b = texts.value(1);
    const QString c = texts.value(2);

    for (const bool dotted : {false, true})
        Fuzz::require(keyName(a, dotted) == keyName(a, dotted), "keyName answers the same every time", a);

    const CsActor::LegacyEmoteRules rules = CsActor::parseLegacyRules(a);
    Fuzz::require(CsActor::LegacyEmoteRules::fromJson(rules.toJson()).toJson() == rules.toJson(),
        "rules come back through JSON", a);

    const CsActor::LegacyEmote emote(a, b.split(QLatin1Char('#')));
    Fuzz::require(CsActor::LegacyEmote::fromJson(emote.toJson()).toJson() == emote.toJson(),
        "an emote comes back through JSON", a + QLatin1Char('|') + b);

    checkOrder(a, b, c);
    checkOrder(c, b, a);
    return 0;
}
