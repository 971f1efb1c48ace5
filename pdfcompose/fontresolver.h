#pragma once

#include "fontface.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace pdfcompose {

// Finds TrueType faces by the face names that arrive from Windows files
// (Korean names included) through fontconfig, and fonts covering characters
// that a face lacks. Faces live as long as the resolver.
class FontResolver {
public:
    // extraPaths: font files or folders, ';'-separated, searched first.
    explicit FontResolver(const std::string& extraPaths);
    ~FontResolver();
    FontResolver(const FontResolver&) = delete;
    FontResolver& operator=(const FontResolver&) = delete;

    // The best TrueType face for a face name; throws Failure when there is none.
    FontFace& Resolve(const std::string& faceName);
    // A face that has the character, preferring `preferred`; nullptr when no
    // installed font has it.
    FontFace* Covering(char32_t codepoint, FontFace& preferred);
    // The installed TrueType face of a PostScript name as FontFace gives it;
    // nullptr when there is none.
    FontFace* ByPostScriptName(const std::string& name);
    FT_Library Library() const { return m_library; }

private:
    FontFace* FirstTrueType(FcPattern* pattern, char32_t codepoint);
    FontFace& Face(const std::string& path, int index);

    FT_Library m_library = nullptr;
    FcConfig* m_config = nullptr;
    std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> m_faces;
    std::map<std::string, FontFace*> m_byName;
    std::map<char32_t, FontFace*> m_fallbacks;
    std::map<std::string, FontFace*> m_byPostScriptName; // misses too
};

} // namespace pdfcompose
