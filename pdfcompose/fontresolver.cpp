#include "fontresolver.h"

#include "failure.h"

#include <cstring>
#include <sys/stat.h>

namespace pdfcompose {
namespace {

// Windows face names of Korean documents and the Nanum family that stands in
// for each (sans faces to NanumGothic, serif and brush faces to NanumMyeongjo).
struct Alias {
    const char* windowsName;
    const char* family;
};
constexpr Alias kAliases[] = {
    {"맑은 고딕", "NanumGothic"},    {"Malgun Gothic", "NanumGothic"},
    {"굴림", "NanumGothic"},         {"굴림체", "NanumGothicCoding"},
    {"Gulim", "NanumGothic"},        {"GulimChe", "NanumGothicCoding"},
    {"돋움", "NanumGothic"},         {"돋움체", "NanumGothicCoding"},
    {"Dotum", "NanumGothic"},        {"DotumChe", "NanumGothicCoding"},
    {"새굴림", "NanumGothic"},       {"바탕", "NanumMyeongjo"},
    {"바탕체", "NanumMyeongjo"},     {"Batang", "NanumMyeongjo"},
    {"BatangChe", "NanumMyeongjo"},  {"궁서", "NanumMyeongjo"},
    {"궁서체", "NanumMyeongjo"},     {"Gungsuh", "NanumMyeongjo"},
    {"GungsuhChe", "NanumMyeongjo"},
};

bool IsKorean(char32_t cp) {
    return (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0x1100 && cp <= 0x11FF) ||
           (cp >= 0x3130 && cp <= 0x318F) || (cp >= 0x4E00 && cp <= 0x9FFF);
}

} // namespace

FontResolver::FontResolver(const std::string& extraPaths) {
    if (FT_Init_FreeType(&m_library) != 0)
        throw Failure("cannot start FreeType");
    m_config = FcInitLoadConfigAndFonts();
    if (!m_config) {
        FT_Done_FreeType(m_library);
        throw Failure("cannot load the fontconfig configuration");
    }
    size_t start = 0;
    while (start <= extraPaths.size()) {
        size_t end = extraPaths.find(';', start);
        if (end == std::string::npos)
            end = extraPaths.size();
        const std::string path = extraPaths.substr(start, end - start);
        if (!path.empty()) {
            const auto* name = reinterpret_cast<const FcChar8*>(path.c_str());
            struct stat info;
            const bool added = stat(path.c_str(), &info) == 0 &&
                               (S_ISDIR(info.st_mode) ? FcConfigAppFontAddDir(m_config, name)
                                                      : FcConfigAppFontAddFile(m_config, name));
            if (!added) {
                m_faces.clear();
                FcConfigDestroy(m_config);
                FT_Done_FreeType(m_library);
                throw Failure("no fonts in the data path " + path);
            }
        }
        start = end + 1;
    }
}

FontResolver::~FontResolver() {
    m_faces.clear();
    FcConfigDestroy(m_config);
    FT_Done_FreeType(m_library);
}

FontFace& FontResolver::Face(const std::string& path, int index) {
    auto key = std::make_pair(path, index);
    auto found = m_faces.find(key);
    if (found == m_faces.end())
        found = m_faces.emplace(key, std::make_unique<FontFace>(m_library, path, index)).first;
    return *found->second;
}

FontFace* FontResolver::FirstTrueType(FcPattern* pattern, char32_t codepoint) {
    FcConfigSubstitute(m_config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(m_config, pattern, FcFalse, nullptr, &result);
    FontFace* chosen = nullptr;
    for (int i = 0; set && i < set->nfont && !chosen; ++i) {
        FcPattern* font = set->fonts[i];
        FcChar8* file = nullptr;
        FcChar8* format = nullptr;
        int index = 0;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
            continue;
        if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) == FcResultMatch &&
            std::strcmp(reinterpret_cast<const char*>(format), "TrueType") != 0)
            continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        if (codepoint) {
            FcCharSet* charset = nullptr;
            if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
                !FcCharSetHasChar(charset, codepoint))
                continue;
        }
        try {
            FontFace& face = Face(reinterpret_cast<const char*>(file), index);
            if (!codepoint || face.GlyphFor(codepoint))
                chosen = &face;
        } catch (const Failure&) {
            // Not usable for embedding; try the next.
        }
    }
    if (set)
        FcFontSetDestroy(set);
    return chosen;
}

FontFace* FontResolver::ByPostScriptName(const std::string& name) {
    auto known = m_byPostScriptName.find(name);
    if (known != m_byPostScriptName.end())
        return known->second;
    FontFace* chosen = nullptr;
    for (auto& [key, face] : m_faces)
        if (face->PostScriptName() == name) {
            chosen = face.get();
            break;
        }
    if (!chosen) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_POSTSCRIPT_NAME,
                           reinterpret_cast<const FcChar8*>(name.c_str()));
        FcObjectSet* wanted = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
        FcFontSet* set = FcFontList(m_config, pattern, wanted);
        for (int i = 0; set && i < set->nfont && !chosen; ++i) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
                continue;
            FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
            try {
                FontFace& face = Face(reinterpret_cast<const char*>(file), index);
                if (face.PostScriptName() == name)
                    chosen = &face;
            } catch (const Failure&) {
                // Not a TrueType face.
            }
        }
        if (set)
            FcFontSetDestroy(set);
        FcObjectSetDestroy(wanted);
        FcPatternDestroy(pattern);
    }
    m_byPostScriptName[name] = chosen;
    return chosen;
}

FontFace& FontResolver::Resolve(const std::string& faceName) {
    auto known = m_byName.find(faceName);
    if (known != m_byName.end())
        return *known->second;
    std::string family = faceName;
    if (!family.empty() && family[0] == '@') // vertical variant of a face
        family.erase(0, 1);
    bool korean = false;
    for (const Alias& alias : kAliases)
        if (family == alias.windowsName) {
            family = alias.family;
            korean = true;
        }
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (korean)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ko"));
    FontFace* face = FirstTrueType(pattern, 0);
    FcPatternDestroy(pattern);
    if (!face)
        throw Failure("no TrueType font is installed for the face \"" + faceName + "\"");
    m_byName[faceName] = face;
    return *face;
}

FontFace* FontResolver::Covering(char32_t codepoint, FontFace& preferred) {
    if (preferred.GlyphFor(codepoint))
        return &preferred;
    auto known = m_fallbacks.find(codepoint);
    if (known != m_fallbacks.end())
        return known->second;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* charset = FcCharSetCreate();
    FcCharSetAddChar(charset, codepoint);
    FcPatternAddCharSet(pattern, FC_CHARSET, charset);
    FcCharSetDestroy(charset);
    if (IsKorean(codepoint))
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ko"));
    FontFace* face = FirstTrueType(pattern, codepoint);
    FcPatternDestroy(pattern);
    m_fallbacks[codepoint] = face;
    return face;
}

} // namespace pdfcompose
