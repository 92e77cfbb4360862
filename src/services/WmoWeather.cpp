// The WMO weather code table: One Call icon codes and descriptions in the service's languages.
#include "services/WmoWeather.h"

#include <algorithm>
#include <array>

#include "platform/Settings.h"

namespace stratovane {

namespace {

// Descriptions in the order of feedLanguages, so the "language" setting's index picks a column.
using Descriptions = std::array<std::string_view, feedLanguages.size()>;

struct WmoRow {
  std::int64_t code;
  std::string_view icon;  // without its "d"/"n" ending
  Descriptions descriptions;
};

static_assert(feedLanguages[defaultLanguageIndex] == "en");

// Wording follows One Call's own where it names the same condition ("heavy intensity rain",
// "shower rain", "light shower snow"); slight, dense and violent become light and heavy. German
// nouns keep their capital even as the first word.
// Columns: da de en es et fr / el he is it lv nl / no pl pt ru fi sv.
// clang-format off
constexpr std::array<WmoRow, 28> kWmoRows{{
    {0, "01",
     {"klar himmel", "klarer Himmel", "clear sky", "cielo despejado", "selge taevas", "ciel dégagé",
      "καθαρός ουρανός", "שמיים בהירים", "heiðskírt", "cielo sereno", "skaidras debesis", "onbewolkt",
      "klar himmel", "bezchmurnie", "céu limpo", "ясно", "selkeää", "klar himmel"}},
    {1, "02",
     {"overvejende klart", "überwiegend klar", "mainly clear", "mayormente despejado", "valdavalt selge", "généralement dégagé",
      "κυρίως αίθριος", "בהיר ברובו", "léttskýjað", "prevalentemente sereno", "pārsvarā skaidrs", "overwegend helder",
      "lettskyet", "przeważnie bezchmurnie", "predominantemente limpo", "преимущественно ясно", "enimmäkseen selkeää", "mestadels klart"}},
    {2, "03",
     {"delvis skyet", "teilweise bewölkt", "partly cloudy", "parcialmente nublado", "vahelduv pilvisus", "partiellement nuageux",
      "μερικώς νεφελώδης", "מעונן חלקית", "hálfskýjað", "parzialmente nuvoloso", "daļēji mākoņains", "half bewolkt",
      "delvis skyet", "częściowe zachmurzenie", "parcialmente nublado", "переменная облачность", "puolipilvistä", "halvklart"}},
    {3, "04",
     {"overskyet", "bedeckt", "overcast clouds", "cielo cubierto", "pilves", "couvert",
      "συννεφιά", "מעונן", "alskýjað", "cielo coperto", "apmācies", "geheel bewolkt",
      "overskyet", "całkowite zachmurzenie", "céu encoberto", "пасмурно", "pilvistä", "mulet"}},
    {45, "50",
     {"tåge", "Nebel", "fog", "niebla", "udu", "brouillard",
      "ομίχλη", "ערפל", "þoka", "nebbia", "migla", "mist",
      "tåke", "mgła", "nevoeiro", "туман", "sumua", "dimma"}},
    {48, "50",
     {"rimtåge", "gefrierender Nebel", "depositing rime fog", "niebla engelante", "jäätuv udu", "brouillard givrant",
      "ομίχλη με πάχνη", "ערפל קופא", "hrímþoka", "nebbia con brina", "migla ar sarmu", "mist met rijpaanslag",
      "rimtåke", "mgła osadzająca szadź", "nevoeiro gelado", "туман с изморозью", "jäätävää sumua", "dimma med rimfrost"}},
    {51, "09",
     {"let støvregn", "leichter Nieselregen", "light intensity drizzle", "llovizna ligera", "nõrk uduvihm", "légère bruine",
      "ασθενής ψιχάλα", "טפטוף קל", "lítilsháttar súld", "pioviggine leggera", "neliels smidzinošs lietus", "lichte motregen",
      "lett duskregn", "słaba mżawka", "chuvisco fraco", "небольшая морось", "heikkoa tihkusadetta", "lätt duggregn"}},
    {53, "09",
     {"støvregn", "Nieselregen", "drizzle", "llovizna", "uduvihm", "bruine",
      "ψιχάλα", "טפטוף", "súld", "pioviggine", "smidzinošs lietus", "motregen",
      "duskregn", "mżawka", "chuvisco", "морось", "tihkusadetta", "duggregn"}},
    {55, "09",
     {"kraftig støvregn", "starker Nieselregen", "heavy intensity drizzle", "llovizna intensa", "tugev uduvihm", "forte bruine",
      "ισχυρή ψιχάλα", "טפטוף כבד", "mikil súld", "pioviggine intensa", "stiprs smidzinošs lietus", "zware motregen",
      "kraftig duskregn", "silna mżawka", "chuvisco forte", "сильная морось", "voimakasta tihkusadetta", "kraftigt duggregn"}},
    {56, "13",
     {"let underafkølet støvregn", "leichter gefrierender Nieselregen", "light freezing drizzle", "llovizna helada ligera", "nõrk jäätuv uduvihm", "légère bruine verglaçante",
      "ασθενής παγωμένη ψιχάλα", "טפטוף קופא קל", "lítilsháttar frostsúld", "pioviggine gelata leggera", "neliels salstošs smidzinošs lietus", "lichte onderkoelde motregen",
      "lett underkjølt duskregn", "słaba marznąca mżawka", "chuvisco gelado fraco", "небольшая ледяная морось", "heikkoa jäätävää tihkusadetta", "lätt underkylt duggregn"}},
    {57, "13",
     {"kraftig underafkølet støvregn", "starker gefrierender Nieselregen", "heavy freezing drizzle", "llovizna helada intensa", "tugev jäätuv uduvihm", "forte bruine verglaçante",
      "ισχυρή παγωμένη ψιχάλα", "טפטוף קופא כבד", "mikil frostsúld", "pioviggine gelata intensa", "stiprs salstošs smidzinošs lietus", "zware onderkoelde motregen",
      "kraftig underkjølt duskregn", "silna marznąca mżawka", "chuvisco gelado forte", "сильная ледяная морось", "voimakasta jäätävää tihkusadetta", "kraftigt underkylt duggregn"}},
    {61, "10",
     {"let regn", "leichter Regen", "light rain", "lluvia ligera", "nõrk vihm", "légère pluie",
      "ασθενής βροχή", "גשם קל", "lítilsháttar rigning", "pioggia leggera", "neliels lietus", "lichte regen",
      "lett regn", "słaby deszcz", "chuva fraca", "небольшой дождь", "heikkoa vesisadetta", "lätt regn"}},
    {63, "10",
     {"moderat regn", "mäßiger Regen", "moderate rain", "lluvia moderada", "mõõdukas vihm", "pluie modérée",
      "μέτρια βροχή", "גשם מתון", "hófleg rigning", "pioggia moderata", "mērens lietus", "matige regen",
      "moderat regn", "umiarkowany deszcz", "chuva moderada", "умеренный дождь", "kohtalaista vesisadetta", "måttligt regn"}},
    {65, "10",
     {"kraftig regn", "starker Regen", "heavy intensity rain", "lluvia intensa", "tugev vihm", "forte pluie",
      "ισχυρή βροχή", "גשם כבד", "mikil rigning", "pioggia intensa", "stiprs lietus", "zware regen",
      "kraftig regn", "silny deszcz", "chuva forte", "сильный дождь", "voimakasta vesisadetta", "kraftigt regn"}},
    {66, "13",
     {"let underafkølet regn", "leichter gefrierender Regen", "light freezing rain", "lluvia helada ligera", "nõrk jäätuv vihm", "légère pluie verglaçante",
      "ασθενής παγωμένη βροχή", "גשם קופא קל", "lítilsháttar frostrigning", "pioggia gelata leggera", "neliels salstošs lietus", "lichte onderkoelde regen",
      "lett underkjølt regn", "słaby marznący deszcz", "chuva gelada fraca", "небольшой ледяной дождь", "heikkoa jäätävää vesisadetta", "lätt underkylt regn"}},
    {67, "13",
     {"kraftig underafkølet regn", "starker gefrierender Regen", "heavy freezing rain", "lluvia helada intensa", "tugev jäätuv vihm", "forte pluie verglaçante",
      "ισχυρή παγωμένη βροχή", "גשם קופא כבד", "mikil frostrigning", "pioggia gelata intensa", "stiprs salstošs lietus", "zware onderkoelde regen",
      "kraftig underkjølt regn", "silny marznący deszcz", "chuva gelada forte", "сильный ледяной дождь", "voimakasta jäätävää vesisadetta", "kraftigt underkylt regn"}},
    {71, "13",
     {"let snefald", "leichter Schneefall", "light snow", "nevada ligera", "nõrk lumesadu", "légères chutes de neige",
      "ασθενής χιονόπτωση", "שלג קל", "lítilsháttar snjókoma", "nevicata leggera", "neliels sniegs", "lichte sneeuwval",
      "lett snøfall", "słaby opad śniegu", "neve fraca", "небольшой снег", "heikkoa lumisadetta", "lätt snöfall"}},
    {73, "13",
     {"snefald", "Schneefall", "snow", "nevada", "lumesadu", "chutes de neige",
      "χιονόπτωση", "שלג", "snjókoma", "nevicata", "sniegs", "sneeuwval",
      "snøfall", "opad śniegu", "neve", "снег", "lumisadetta", "snöfall"}},
    {75, "13",
     {"kraftigt snefald", "starker Schneefall", "heavy snow", "nevada intensa", "tugev lumesadu", "fortes chutes de neige",
      "ισχυρή χιονόπτωση", "שלג כבד", "mikil snjókoma", "nevicata intensa", "stiprs sniegs", "zware sneeuwval",
      "kraftig snøfall", "silny opad śniegu", "neve forte", "сильный снег", "voimakasta lumisadetta", "kraftigt snöfall"}},
    {77, "13",
     {"kornsne", "Schneegriesel", "snow grains", "granos de nieve", "lumeterad", "neige en grains",
      "κόκκοι χιονιού", "גרגרי שלג", "kornsnjór", "granuli di neve", "sniega graudi", "motsneeuw",
      "kornsnø", "śnieg ziarnisty", "grãos de neve", "снежные зёрна", "lumijyväsiä", "kornsnö"}},
    {80, "09",
     {"lette regnbyger", "leichte Regenschauer", "light intensity shower rain", "chubascos ligeros", "nõrgad vihmahood", "légères averses",
      "ασθενείς μπόρες βροχής", "ממטרים קלים", "lítilsháttar skúrir", "rovesci leggeri", "neliels īslaicīgs lietus", "lichte regenbuien",
      "lette regnbyger", "słabe przelotne opady deszczu", "aguaceiros fracos", "небольшой ливень", "heikkoja sadekuuroja", "lätta regnskurar"}},
    {81, "09",
     {"regnbyger", "Regenschauer", "shower rain", "chubascos", "vihmahood", "averses",
      "μπόρες βροχής", "ממטרים", "skúrir", "rovesci", "īslaicīgs lietus", "regenbuien",
      "regnbyger", "przelotne opady deszczu", "aguaceiros", "ливень", "sadekuuroja", "regnskurar"}},
    {82, "09",
     {"kraftige regnbyger", "starke Regenschauer", "heavy intensity shower rain", "chubascos intensos", "tugevad vihmahood", "fortes averses",
      "ισχυρές μπόρες βροχής", "ממטרים כבדים", "miklar skúrir", "rovesci intensi", "stiprs īslaicīgs lietus", "zware regenbuien",
      "kraftige regnbyger", "silne przelotne opady deszczu", "aguaceiros fortes", "сильный ливень", "voimakkaita sadekuuroja", "kraftiga regnskurar"}},
    {85, "13",
     {"lette snebyger", "leichte Schneeschauer", "light shower snow", "chubascos de nieve ligeros", "nõrgad lumehood", "légères averses de neige",
      "ασθενείς μπόρες χιονιού", "ממטרי שלג קלים", "lítilsháttar él", "rovesci di neve leggeri", "neliels īslaicīgs sniegs", "lichte sneeuwbuien",
      "lette snøbyger", "słabe przelotne opady śniegu", "aguaceiros de neve fracos", "небольшой ливневый снег", "heikkoja lumikuuroja", "lätta snöbyar"}},
    {86, "13",
     {"kraftige snebyger", "starke Schneeschauer", "heavy shower snow", "chubascos de nieve intensos", "tugevad lumehood", "fortes averses de neige",
      "ισχυρές μπόρες χιονιού", "ממטרי שלג כבדים", "mikil él", "rovesci di neve intensi", "stiprs īslaicīgs sniegs", "zware sneeuwbuien",
      "kraftige snøbyger", "silne przelotne opady śniegu", "aguaceiros de neve fortes", "сильный ливневый снег", "voimakkaita lumikuuroja", "kraftiga snöbyar"}},
    {95, "11",
     {"tordenvejr", "Gewitter", "thunderstorm", "tormenta", "äike", "orage",
      "καταιγίδα", "סופת רעמים", "þrumuveður", "temporale", "pērkona negaiss", "onweer",
      "tordenvær", "burza", "trovoada", "гроза", "ukkosta", "åska"}},
    {96, "11",
     {"tordenvejr med let hagl", "Gewitter mit leichtem Hagel", "thunderstorm with light hail", "tormenta con granizo ligero", "äike nõrga rahega", "orage avec légère grêle",
      "καταιγίδα με ασθενές χαλάζι", "סופת רעמים עם ברד קל", "þrumuveður með lítilsháttar hagli", "temporale con grandine leggera", "pērkona negaiss ar nelielu krusu", "onweer met lichte hagel",
      "tordenvær med lett hagl", "burza ze słabym gradem", "trovoada com granizo fraco", "гроза с небольшим градом", "ukkosta ja heikkoa raesadetta", "åska med lätt hagel"}},
    {99, "11",
     {"tordenvejr med kraftigt hagl", "Gewitter mit starkem Hagel", "thunderstorm with heavy hail", "tormenta con granizo intenso", "äike tugeva rahega", "orage avec forte grêle",
      "καταιγίδα με ισχυρό χαλάζι", "סופת רעמים עם ברד כבד", "þrumuveður með miklu hagli", "temporale con grandine intensa", "pērkona negaiss ar stipru krusu", "onweer met zware hagel",
      "tordenvær med kraftig hagl", "burza z silnym gradem", "trovoada com granizo forte", "гроза с сильным градом", "ukkosta ja voimakasta raesadetta", "åska med kraftigt hagel"}},
}};
// clang-format on

static_assert(std::is_sorted(kWmoRows.begin(), kWmoRows.end(),
                             [](const WmoRow& a, const WmoRow& b) { return a.code < b.code; }));

const WmoRow* rowForCode(std::int64_t code) {
  const auto row = std::lower_bound(
      kWmoRows.begin(), kWmoRows.end(), code,
      [](const WmoRow& candidate, std::int64_t wanted) { return candidate.code < wanted; });
  return row != kWmoRows.end() && row->code == code ? &*row : nullptr;
}

std::size_t languageIndex(std::string_view language) {
  const auto found = std::find(feedLanguages.begin(), feedLanguages.end(), language);
  return found != feedLanguages.end() ? static_cast<std::size_t>(found - feedLanguages.begin())
                                      : defaultLanguageIndex;
}

}  // namespace

std::optional<std::string> iconForWmoCode(std::int64_t code, bool day) {
  const WmoRow* row = rowForCode(code);
  if (!row) return std::nullopt;
  std::string icon(row->icon);
  icon += day ? 'd' : 'n';
  return icon;
}

std::optional<std::string_view> descriptionForWmoCode(std::int64_t code,
                                                      std::string_view language) {
  const WmoRow* row = rowForCode(code);
  if (!row) return std::nullopt;
  return row->descriptions[languageIndex(language)];
}

}  // namespace stratovane
