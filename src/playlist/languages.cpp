#include "playlist/languages.h"

#include <iterator>

namespace lumora {

namespace {

// ISO 639-2 codes as the selection lists offer them: English first for the
// common case, then the whole table alphabetically (so "eng" appears twice).
constexpr std::string_view kLanguageCodes[] = {
    "eng", "aar", "abk", "ace", "ach", "ada", "afa", "afh", "afr", "aka", "akk", "ale", "alg",
    "amh", "ang", "apa", "ara", "arc", "arn", "arp", "art", "arw", "asm", "ath", "aus", "ava",
    "ave", "awa", "aym", "aze", "bad", "bai", "bak", "bal", "bam", "ban", "bas", "bat", "bej",
    "bel", "bem", "ben", "ber", "bho", "bih", "bik", "bin", "bis", "bla", "bnt", "bod", "bra",
    "bre", "btk", "bua", "bug", "bul", "cad", "cai", "car", "cat", "cau", "ceb", "cel", "ces",
    "cha", "chb", "che", "chg", "chk", "chm", "chn", "cho", "chp", "chr", "chu", "chv", "chy",
    "cmc", "cop", "cor", "cos", "cpe", "cpf", "cpp", "cre", "crp", "cus", "cym", "dak", "dan",
    "day", "del", "den", "deu", "dgr", "din", "div", "doi", "dra", "dua", "dum", "dyu", "dzo",
    "efi", "egy", "eka", "ell", "elx", "eng", "enm", "epo", "est", "eus", "ewe", "ewo", "fan",
    "fao", "fas", "fat", "fij", "fin", "fiu", "fon", "fra", "frm", "fro", "fry", "ful", "fur",
    "gaa", "gay", "gba", "gem", "gez", "gil", "gla", "gle", "glg", "glv", "gmh", "goh", "gon",
    "gor", "got", "grb", "grc", "grn", "guj", "gwi", "hai", "hau", "haw", "heb", "her", "hil",
    "him", "hin", "hit", "hmn", "hmo", "hrv", "hun", "hup", "hye", "iba", "ibo", "ijo", "iku",
    "ile", "ilo", "ina", "inc", "ind", "ine", "ipk", "ira", "iro", "isl", "ita", "jaw", "jpn",
    "jpr", "jrb", "kaa", "kab", "kac", "kal", "kam", "kan", "kar", "kas", "kat", "kau", "kaw",
    "kaz", "kha", "khi", "khm", "kho", "kik", "kin", "kir", "kmb", "kok", "kom", "kon", "kor",
    "kos", "kpe", "kro", "kru", "kua", "kum", "kur", "kut", "lad", "lah", "lam", "lao", "lat",
    "lav", "lez", "lin", "lit", "lol", "loz", "ltz", "lua", "lub", "lug", "lui", "lun", "luo",
    "lus", "mad", "mag", "mah", "mai", "mak", "mal", "man", "map", "mar", "mas", "mdr", "men",
    "mga", "mic", "min", "mis", "mkd", "mkh", "mlg", "mlt", "mni", "mno", "moh", "mol", "mon",
    "mos", "mri", "msa", "mul", "mun", "mus", "mwr", "mya", "myn", "nah", "nai", "nau", "nav",
    "nbl", "nde", "ndo", "nep", "new", "nia", "nic", "niu", "nld", "non", "nor", "nso", "nub",
    "nzi", "nya", "nym", "nyn", "nyo", "oci", "oji", "ori", "orm", "osa", "oss", "ota", "oto",
    "paa", "pag", "pal", "pam", "pan", "pap", "pau", "peo", "phi", "phn", "pli", "pol", "pon",
    "por", "pra", "pro", "pus", "que", "raj", "rap", "rar", "roa", "roh", "rom", "ron", "run",
    "rus", "sad", "sag", "sah", "sai", "sal", "sam", "san", "sas", "sat", "sco", "sel", "sem",
    "sga", "shn", "sid", "sin", "sio", "sit", "sla", "slk", "slv", "smi", "smo", "sna", "snd",
    "snk", "sog", "som", "son", "sot", "spa", "sqi", "srd", "srp", "srr", "ssa", "ssw", "suk",
    "sun", "sus", "sux", "swa", "swe", "syr", "tah", "tai", "tam", "tat", "tel", "tem", "ter",
    "tet", "tgk", "tgl", "tha", "tig", "tir", "tiv", "tkl", "tli", "tmh", "tog", "ton", "tpi",
    "tsi", "tsn", "tso", "tuk", "tum", "tur", "tut", "tvl", "twi", "tyv", "uga", "uig", "ukr",
    "umb", "und", "urd", "uzb", "vai", "ven", "vie", "vol", "vot", "wak", "wal", "war", "was",
    "wen", "wol", "xho", "yao", "yap", "yid", "yor", "ypk", "zap", "zen", "zha", "zho", "znd",
    "zul", "zun",
};

}  // namespace

const std::vector<std::string_view>& languageCodes() {
    static const std::vector<std::string_view> codes(std::begin(kLanguageCodes),
                                                     std::end(kLanguageCodes));
    return codes;
}

}  // namespace lumora
