#pragma once

#include "jobtree.h"
#include "markup/result.h"

#include <QString>
#include <QStringList>

// One order: a job ticket (".tzjob") with its PDF of the same base name
// beside it. The program reads tickets and moves them with their PDF from
// folder to folder; it never writes one.
//
// Getters return the key's default when the ticket did not load or lacks
// the key; text getters report whether the key was there.
class CZelJob {
public:
    static constexpr char kExtension[] = "tzjob";
    static constexpr char kDocumentType[] = "Tessel Job Ticket";

    // Loads the ticket. When it gives no root element the job has no path
    // and no root, and its container drops it.
    explicit CZelJob(const QString& ticketPath);
    // Why the ticket was not read whole (it cannot be opened, is cut short or
    // holds a byte no ticket holds); empty when it was. A ticket read in part
    // may still list, but is never taken onto a plate.
    const QString& ReadError() const { return m_readError; }
    CZelJob(const CZelJob&) = delete;
    CZelJob& operator=(const CZelJob&) = delete;

    bool IsValid() const { return m_root != nullptr; }
    // The ticket's full path; empty when the ticket did not load.
    const QString& Path() const { return m_path; }
    // Why the last move failed.
    const QString& LastError() const { return m_error; }
    CJobTree& Tree() { return m_tree; }
    CTzmpItem* Root() const { return m_root; }

    int GetColor() const { return Int("Color"); }
    int GetPDFPage() const { return Int("PDFPage"); }
    int GetPcases() const { return Int("Pcases"); }
    int GetPQuantity() const { return Int("PQuantity"); }
    double GetWidth() const { return Double("Width", 0.0); }
    double GetHeight() const { return Double("Height", 0.0); }
    double GetQuantity() const { return Double("Quantity", -1.0); }

    // A text key of the ticket, false when it is missing.
    bool GetText(const char* key, QString& text) const;
    bool GetLocation(QString& text) const { return GetText("Location", text); }
    bool GetOrdernum(QString& text) const { return GetText("Ordernum", text); }
    bool GetBranchShop(QString& text) const { return GetText("BranchShop", text); }
    bool GetRework(QString& text) const { return GetText("Rework", text); }
    bool GetROKDate(QString& text) const { return GetText("ROKDate", text); }
    bool GetProduct(QString& text) const { return GetText("Product", text); }
    bool GetKind(QString& text) const { return GetText("Kind", text); }
    bool GetPaper(QString& text) const { return GetText("Paper", text); }
    bool GetSizeKind(QString& text) const { return GetText("SizeKind", text); }
    bool GetDeliveryM(QString& text) const { return GetText("DeliveryM", text); }
    bool GetDeliveryA(QString& text) const { return GetText("DeliveryA", text); }
    bool GetUid(QString& text) const { return GetText("Uid", text); }
    bool GetUcom(QString& text) const { return GetText("Ucom", text); }
    bool GetUname(QString& text) const { return GetText("Uname", text); }
    bool GetUtel(QString& text) const { return GetText("Utel", text); }
    bool GetUHP(QString& text) const { return GetText("UHP", text); }
    bool GetReceiptS(QString& text) const { return GetText("ReceiptS", text); }
    // These three empty the text first, so a missing key shows as nothing.
    bool GetPcom(QString& text) const { return GetClearedText("Pcom", text); }
    bool GetPname(QString& text) const { return GetClearedText("Pname", text); }
    bool GetMmemo(QString& text) const { return GetClearedText("Mmemo", text); }
    // The text of a key, empty when missing.
    QString Text(const char* key) const;
    // Whether the ticket has the key at all.
    bool Has(const char* key) const { return Child(key) != nullptr; }

    // The "SubName" of each after-work step of the first or second list.
    QStringList AfterWorks(bool second = false) const;
    // Each step's text followed by ";", the last one included.
    QString AfterWorkText(bool second = false) const;

    // "1500.5" or "1500"; false (and nothing) when Quantity is 0 or less.
    bool GetQuantityText(QString& text) const;
    // "%d" of Pcases; false when it is 0 or less.
    bool GetCasesText(QString& text) const;

    // The PDF beside the ticket; false when there is no ticket or no PDF.
    bool GetPdfPath(QString& path) const;

    // Moves the ticket, then its PDF, into the folder: both or neither. A file
    // of either name already in the folder refuses the move (it would be
    // another order's). When the PDF cannot follow, the ticket is moved back
    // at once. False, with LastError, when the order did not move; Path()
    // always names where the ticket is.
    bool MoveTo(const QString& folder);
    // Moves the order back to its home folder: the job folder followed by the
    // ticket's "Location". Refused when "Location" is missing or leads outside
    // the job folder.
    bool MoveToLocation(const QString& jobsFolder);

    // Gives the order back: to the folder it was taken from, or, when that
    // cannot take it, to its "Location" under the job folder. LastError names
    // both reasons when neither can.
    bool MoveBack(const QString& origin, const QString& jobsFolder);

    // The folder that "Location" names under the job folder; fails with the
    // reason when it is missing, does not exist, or really lies outside the
    // job folder (through "..", a drive, a network path or a symbolic link).
    Result<QString> LocationFolder(const QString& jobsFolder) const;

private:
    const CTzmpItem* Child(const char* key) const;
    int Int(const char* key) const;
    double Double(const char* key, double missing) const;
    bool GetClearedText(const char* key, QString& text) const;

    QString m_path;
    CJobTree m_tree;
    CTzmpItem* m_root = nullptr;
    QString m_error;
    QString m_readError;
};

// The number of grid cells an order of W x H needs on a grid of GW x GH
// cells, unturned: the cells across times the cells down. 0 when the grid
// is below 1 mm in either direction (no grid).
int SlotsNeeded(double gridWidth, double gridHeight, double width, double height);
// The cells an order needs when it may be turned by 90 degrees: the smaller
// of both ways. 0 when there is no grid.
int GridCells(double gridWidth, double gridHeight, double width, double height);
// Below 1 mm a grid cannot hold anything: it counts as no grid.
bool IsGrid(double gridWidth, double gridHeight);
