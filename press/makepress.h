#pragma once

#include "labels/labelrender.h"
#include "markup/result.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class CTesselDoc;
class CZelItem;
class CZelPreference;
class CZelPressMarkPresets;
struct TitlePiece;

// How a run writes its files: MAKE_PDF_TYPE (0 one file, 1 label page apart,
// 2 each side apart), the plate title as the press file's name, the press
// folder, and the item frame and own cut switches of the A, B and label sides.
struct MakePressOptions {
    int pdfType = 0;
    bool titleFileName = false;
    QString pressDir;               // none: the side files are the result
    std::array<int, 3> itemFrame{}; // A, B, label
    std::array<int, 3> itemCut{};
    QString companyCode; // "[회사코드]" of the title; "Unknown" when empty
    QString presetDir;   // labels and member pictures
    bool view = false;   // MAKE_PDF_VIEW: open each press file written
    // MAKE_CUT_PLAN: the cutting sheet and cut program beside the side files
    // (on unless the preference turns it off).
    bool cutPlan = true;
    // This plate's files in the press folder under another press type's
    // names are removed before the new ones are written; without it they
    // are left and named (a hot folder would print the plate twice).
    bool replaceOtherTypes = false;
    // How a press file is opened (the GUI's "open" of the desktop).
    std::function<void(const QString&)> open;

    // The press options of the preference file.
    static MakePressOptions FromPreference(CZelPreference& preference);
};

// Makes the press files of a plate: the plate summary file beside the plate
// file, one composed PDF per side (A, B on two-sided plates, and the label
// side) named after the plate file, then the press folder's copies or merges.
// The plate must have been opened with the shop's context: the composition
// library, colours, operator and progress are taken from it.
class CMakePress {
public:
    CMakePress(CTesselDoc& doc, const CZelPressMarkPresets* colorBars,
               const CZelPressMarkPresets* registrationMarks);

    // The whole run. written receives every file the run produced for the
    // press (the side files, then the press folder's files). Fails with the
    // reason when it stops; the operator is told of files in use.
    Result<void> Run(const MakePressOptions& options, QStringList* written = nullptr);

    // Plate file without extension + "_A.pdf", "_B.pdf" or "_L.pdf".
    QString SideFilePath(int side) const;
    // The plate file with ".pdf": not written, but removed before a run.
    QString PlainPath() const;
    QString SummaryPath() const;
    // The summary file's bytes (code page 949).
    QByteArray SummaryBytes() const;
    Result<void> WriteSummary() const;
    // The press files' base name: the plate title made safe for a file name,
    // else JOB_CODE, else the plate file's name.
    QString PressBaseName(const MakePressOptions& options) const;
    // A text made safe as one file name: no separators, reserved or control
    // characters, no "..", no leading or trailing dots or blanks, and no
    // device name (CON, NUL, COM1 ...) before its first dot.
    static QString SafeFileName(const QString& text);
    // The press folder's targets with the side files that make each, in order.
    std::vector<std::pair<QString, QStringList>>
    PressTargets(const MakePressOptions& options) const;
    // Files in the press folder named as this plate's press files of another
    // press type (MAKE_PDF_TYPE), which this run does not write.
    QStringList OtherTypeFiles(const MakePressOptions& options) const;
    // Writes each target from its side files (merged, or copied when one
    // file makes it and copySingle is set) beside the target, then renames
    // all over their targets; a failure leaves every target as it was.
    // written receives the targets, open is called on each.
    Result<void> WriteTargets(const std::vector<std::pair<QString, QStringList>>& targets,
                              bool copySingle, QStringList* written,
                              const std::function<void(const QString&)>& open = {});
    // Notes of the last run that did not stop it (labels that could not be made).
    const QStringList& Notes() const { return m_notes; }
    // The cutter room's files of the last run (cutting sheet, cut program);
    // not press files, so not among the run's written files.
    const QStringList& CutPlanFiles() const { return m_cutPlanFiles; }
    // The other press type's files the last run found in the press folder
    // and left there (replaceOtherTypes off) or removed.
    const QStringList& OtherTypeFilesLeft() const { return m_otherTypeFilesLeft; }
    const QStringList& OtherTypeFilesRemoved() const { return m_otherTypeFilesRemoved; }

private:
    // Tells the operator, then fails with the same words.
    Failure Refuse(const QString& message);
    Result<void> RemoveOld(const QString& path);
    // Fails (and the operator told) when something other than a file holds the name.
    Result<void> Replaceable(const QString& path);
    Result<void> ComposeSide(int side, const MakePressOptions& options, const TitlePiece& barcode,
                             const TitlePiece& title);
    Result<void> PlaceArtwork(int side, const MakePressOptions& options);
    Result<void> PlacePage(const QString& pdf, int page, double boxX, double boxY, double boxW,
                           double boxH, int rotate, bool frame, const QString& frameColor);
    // White under a page or label; the item's frame over it.
    Result<void> Underlay(double x, double y, double w, double h);
    Result<void> Frame(double x, double y, double w, double h, const QString& frameColor);
    // Finds the label of every item the label side prints; an item without
    // one is noted and left off that side.
    void FindLabels(const MakePressOptions& options);
    Result<void> PlaceLabel(const CZelItem& item, bool frame);
    Result<void> WritePressFolder(const MakePressOptions& options, QStringList* written);
    // The cutting sheet and cut program; a plate that cannot be cut apart
    // leaves a note, not a failed run.
    Result<void> WriteCutPlan();

    CTesselDoc& m_doc;
    const CZelPressMarkPresets* m_colorBars;
    const CZelPressMarkPresets* m_registrationMarks;
    std::map<std::pair<QString, int>, std::pair<double, double>> m_pageSizes;
    // The labels of a run, drawn straight into the label side.
    struct RunLabels {
        RunLabels(const QString& presetDir, CPDFServer* pdf);
        CLabelRender render;
        CLabelRender::SetScope set; // keeps the labels read once for the run
        std::map<const CZelItem*, const CZelLabel*> ofItem;
    };
    std::unique_ptr<RunLabels> m_labels;
    QStringList m_notes;
    QStringList m_cutPlanFiles;
    QStringList m_otherTypeFilesLeft;
    QStringList m_otherTypeFilesRemoved;
};
