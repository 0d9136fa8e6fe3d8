// Build-time tool: turns the Unihan readings file (plain or bzip2-compressed) into the compiled-in table of
// hanreadings.h. Usage: makehanreadings <Unihan_Readings.txt[.bz2]> <output.cpp>
//
// A character's readings are its kMandarin values (the usual reading first), then those of kXHC1983 and kTGHZ2013,
// tone marks dropped and repeats removed. A reading with ü counts twice: once with "u" (as the marks-stripped text
// reads) and once with "v" (as pinyin keyboards type it). A character with one reading takes ICU's Han-Latin
// reading instead, so that names without polyphones read as they always did.

#include <bzlib.h>

#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The generator reads a file and exits; the sanitizer build must not fail it over ICU's process-long caches.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}

namespace {

bool fail(const std::string &message)
{
    std::fprintf(stderr, "makehanreadings: %s\n", message.c_str());
    return false;
}

bool readAll(const std::string &path, std::string &out)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return fail("cannot open " + path);
    const bool compressed = path.size() > 4 && path.compare(path.size() - 4, 4, ".bz2") == 0;
    char buffer[1 << 16];
    if (!compressed) {
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            out.append(buffer, n);
        std::fclose(file);
        return true;
    }
    int error = BZ_OK;
    BZFILE *bz = BZ2_bzReadOpen(&error, file, 0, 0, nullptr, 0);
    while (error == BZ_OK) {
        const int n = BZ2_bzRead(&error, bz, buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, size_t(n));
    }
    const bool ok = error == BZ_STREAM_END;
    BZ2_bzReadClose(&error, bz);
    std::fclose(file);
    return ok || fail("cannot decompress " + path);
}

// "zhòng" -> {"zhong"}; "lǜ" -> {"lu", "lv"}. Empty when the text is no pinyin syllable.
std::vector<std::string> toneless(const icu::UnicodeString &reading)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::UnicodeString decomposed = nfd->normalize(reading, status);
    if (U_FAILURE(status))
        return {};
    std::string plain;
    std::string typed;
    bool umlaut = false;
    for (int32_t i = 0; i < decomposed.length(); ++i) {
        const char16_t c = decomposed[i];
        if (c == 0x0308 && !plain.empty() && plain.back() == 'u') {
            typed.back() = 'v';
            umlaut = true;
        } else if (u_getCombiningClass(c) != 0 || u_charType(c) == U_NON_SPACING_MARK) {
            continue;
        } else if (c < 0x80 && std::isalpha(c)) {
            plain += char(std::tolower(c));
            typed += char(std::tolower(c));
        } else {
            return {};
        }
    }
    if (plain.empty())
        return {};
    if (umlaut)
        return {plain, typed};
    return {plain};
}

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> out;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, separator)) {
        if (!piece.empty())
            out.push_back(piece);
    }
    return out;
}

struct Character
{
    std::vector<std::string> mandarin; // toned, as written
    std::vector<std::string> modern;   // kXHC1983 then kTGHZ2013, toned
};

void appendUnique(std::vector<std::string> &to, const std::vector<std::string> &forms)
{
    for (const auto &form : forms) {
        if (std::find(to.begin(), to.end(), form) == to.end())
            to.push_back(form);
    }
}

std::vector<std::string> readingsOf(char32_t codePoint, const Character &c, icu::Transliterator &hanLatin)
{
    std::vector<std::string> forms;
    std::set<std::string> distinct; // by the "u" form: ü and its "v" spelling are one reading
    const auto add = [&](const std::string &toned) {
        const auto f = toneless(icu::UnicodeString::fromUTF8(toned));
        if (f.empty())
            return;
        distinct.insert(f.front());
        appendUnique(forms, f);
    };
    for (const auto &r : c.mandarin)
        add(r);
    for (const auto &r : c.modern)
        add(r);
    if (distinct.size() == 1) {
        icu::UnicodeString text = icu::UnicodeString(UChar32(codePoint));
        hanLatin.transliterate(text);
        text.trim();
        const auto icuForms = toneless(text);
        if (!icuForms.empty())
            return icuForms;
    }
    return forms;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: makehanreadings <Unihan_Readings.txt[.bz2]> <output.cpp>\n");
        return 2;
    }
    std::string data;
    if (!readAll(argv[1], data))
        return 1;

    std::map<char32_t, Character> characters;
    std::istringstream lines(data);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("U+", 0) != 0)
            continue;
        const auto fields = split(line, '\t');
        if (fields.size() != 3)
            continue;
        const char32_t codePoint = char32_t(std::strtoul(fields[0].c_str() + 2, nullptr, 16));
        if (fields[1] == "kMandarin") {
            characters[codePoint].mandarin = split(fields[2], ' ');
        } else if (fields[1] == "kXHC1983" || fields[1] == "kTGHZ2013") {
            // "0442.080:háng 1290.030:xíng": the reading follows each list of places.
            for (const auto &item : split(fields[2], ' ')) {
                const size_t colon = item.rfind(':');
                if (colon != std::string::npos)
                    characters[codePoint].modern.push_back(item.substr(colon + 1));
            }
        }
    }
    if (characters.size() < 20000)
        {
        fail("too few characters with readings in " + std::string(argv[1]));
        return 1;
    }

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> hanLatin(
        icu::Transliterator::createInstance("Han-Latin", UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        {
        fail("no Han-Latin transliterator");
        return 1;
    }

    std::vector<std::string> syllables;
    std::map<std::string, int> syllableIds;
    std::vector<std::vector<int>> sets{{}}; // set 0: no readings
    std::map<std::vector<int>, int> setIds{{{}, 0}};
    std::vector<std::pair<char32_t, int>> entries;
    for (const auto &[codePoint, character] : characters) {
        std::vector<int> ids;
        for (const auto &form : readingsOf(codePoint, character, *hanLatin)) {
            auto [it, added] = syllableIds.try_emplace(form, int(syllables.size()));
            if (added)
                syllables.push_back(form);
            ids.push_back(it->second);
        }
        if (ids.empty())
            continue;
        auto [it, added] = setIds.try_emplace(ids, int(sets.size()));
        if (added)
            sets.push_back(ids);
        entries.emplace_back(codePoint, it->second);
    }

    std::ostringstream out;
    out << "// Generated by makehanreadings from the Unihan readings; do not edit.\n"
        << "#include \"hanreadingstable.h\"\n\nnamespace HanReadingsTable {\n\n";
    out << "const char syllableText[] =";
    std::vector<int> syllableOffsets{0};
    for (const auto &s : syllables) {
        out << "\n    \"" << s << "\\0\"";
        syllableOffsets.push_back(syllableOffsets.back() + int(s.size()) + 1);
    }
    out << ";\nconst uint16_t syllableOffsets[] = {";
    for (size_t i = 0; i < syllableOffsets.size(); ++i)
        out << (i % 16 ? " " : "\n    ") << syllableOffsets[i] << ",";
    out << "\n};\nconst uint16_t syllableCount = " << syllables.size() << ";\n\n";

    std::vector<int> pool;
    std::vector<int> setOffsets{0};
    for (const auto &set : sets) {
        pool.insert(pool.end(), set.begin(), set.end());
        setOffsets.push_back(int(pool.size()));
    }
    out << "const uint16_t setPool[] = {";
    for (size_t i = 0; i < pool.size(); ++i)
        out << (i % 16 ? " " : "\n    ") << pool[i] << ",";
    out << "\n};\nconst uint32_t setOffsets[] = {";
    for (size_t i = 0; i < setOffsets.size(); ++i)
        out << (i % 16 ? " " : "\n    ") << setOffsets[i] << ",";
    out << "\n};\nconst uint32_t setCount = " << sets.size() << ";\n\n";

    // Dense runs of code points; a gap of more than 64 unlisted ones starts a new block.
    struct BlockRange
    {
        char32_t first;
        char32_t last;
    };
    std::vector<BlockRange> blocks;
    for (const auto &[codePoint, set] : entries) {
        if (blocks.empty() || codePoint - blocks.back().last > 64)
            blocks.push_back({codePoint, codePoint});
        else
            blocks.back().last = codePoint;
    }
    out << "const uint16_t blockSets[] = {";
    size_t written = 0;
    size_t e = 0;
    std::vector<size_t> blockStarts;
    for (const auto &block : blocks) {
        blockStarts.push_back(written);
        for (char32_t cp = block.first; cp <= block.last; ++cp) {
            int set = 0;
            if (e < entries.size() && entries[e].first == cp)
                set = entries[e++].second;
            out << (written % 16 ? " " : "\n    ") << set << ",";
            ++written;
        }
    }
    out << "\n};\nconst Block blocks[] = {";
    for (size_t i = 0; i < blocks.size(); ++i) {
        out << "\n    {0x" << std::hex << uint32_t(blocks[i].first) << std::dec << ", "
            << (blocks[i].last - blocks[i].first + 1) << ", " << blockStarts[i] << "},";
    }
    out << "\n};\nconst uint32_t blockCount = " << blocks.size() << ";\n\n} // namespace HanReadingsTable\n";

    const std::string text = out.str();
    std::ifstream previous(argv[2], std::ios::binary);
    const std::string old((std::istreambuf_iterator<char>(previous)), std::istreambuf_iterator<char>());
    if (old == text)
        return 0;
    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << text;
    return file.good() ? 0 : 1;
}
