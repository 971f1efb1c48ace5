#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// One named colour of the plate furniture.
struct CZelColorItem {
    QString name;
    QString separationName;                  // "+zelCmYkReg <name without brackets>+"
    std::uint8_t c = 0, m = 0, y = 0, k = 0; // 0..100
    std::uint8_t r = 0, g = 0, b = 0;        // 0..255
    int builtIn = 0;                         // 1 for the nine built-in colours
    int colorModel = 0;                      // always 0

    // The name the press files give the colour's separation.
    static QString SeparationNameOf(const QString& name);
};

// The colours that lines, text boxes, frames and marks refer to by name:
// nine built in, the shop's own from "ZelColorPresets.tzst" in the Stock
// Presets folder. Kept sorted by name without regard to case.
//
// The shop's colours are written back when the table is destroyed, only when
// they changed since they were read or saved and the file was read whole (or
// did not exist): a read-only run writes nothing, and a file that could not
// be read whole is kept.
class CZelColorPresets {
public:
    static constexpr char kDocumentType[] = "Tessel Color Presets";
    static constexpr char kFileName[] = "ZelColorPresets.tzst";

    CZelColorPresets();
    CZelColorPresets(const CZelColorPresets&) = delete;
    CZelColorPresets& operator=(const CZelColorPresets&) = delete;
    ~CZelColorPresets();

    // Adds every "COLOR_PRESET" of folder/"ZelColorPresets.tzst"; false when
    // the file gives no element (the built-in colours stay).
    bool Load(const QString& stockPresetsFolder);
    // Writes the colours that are not built in; false when there is no path
    // or the file cannot be written.
    bool Save();
    const QString& Path() const { return m_path; }
    const QString& LastError() const { return m_error; }

    // Inserts a colour at its place in the order; returns the new count.
    // Names are not tested for duplicates.
    int AddColor(const QString& name, int c, int m, int y, int k, int r, int g, int b, int builtIn);
    // The colour of exactly this name, or nullptr.
    const CZelColorItem* FindColor(const QString& name) const;

    int Count() const { return static_cast<int>(m_colors.size()); }
    const CZelColorItem* Color(int index) const;

    const CZelColorItem* White() const;
    const CZelColorItem* Black() const;
    const CZelColorItem* Red() const; // " [C=15 M=100 Y=100 K=0]"

private:
    // The file's bytes for the colours that are not built in.
    QByteArray Serialize() const;

    QString m_path;
    QString m_error;
    bool m_readWhole = true;
    QByteArray m_savedBytes;
    std::vector<std::unique_ptr<CZelColorItem>> m_colors;
};
