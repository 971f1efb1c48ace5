#pragma once

#include "furniture.h"
#include "platechange.h"
#include "plategeometry.h"
#include "platehistory.h"
#include "plateproperties.h"
#include "shopcontext.h"
#include "zelitem.h"

#include "markup/result.h"
#include "records/zeljobcontainer.h"
#include "records/zelmtdocument.h"

#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The open plate: its settings with the geometry they imply, the placed items
// in stacking order (head drawn first) and the selection in the order it was
// made (the first entry is the reference of alignment).
//
// The plate is observable, and only through one mechanism: every operation
// that changes it reports one PlateChange to the observers (a plain list of
// PlateObserver, told in the order they were added) when it is complete,
// saying what kind of thing changed and which rectangles, or that the whole
// plate did. Changes of the plate's data also set the modified flag; the
// selection alone does not. Plate data is read through const accessors and
// changed only through these operations.
class CTesselDoc {
public:
    CTesselDoc();
    CTesselDoc(const CTesselDoc&) = delete;
    CTesselDoc& operator=(const CTesselDoc&) = delete;
    virtual ~CTesselDoc();

    // The shop this plate belongs to; it must outlive the document.
    void SetContext(const ShopContext& context) { m_context = context; }
    const ShopContext& Context() const { return m_context; }

    // The observer must outlive its registration; adding one twice tells it once.
    void AddObserver(PlateObserver* observer);
    void RemoveObserver(PlateObserver* observer);

    // Opens a plate file: ReadPlateFile, then PreparePreviews.
    Result<void> Open(const QString& path);
    // Opens a plate file only to look at it (show, plan, check): the file is
    // read as Open reads it, but nothing beside it is created, recovered or
    // cleaned up and no previews are made. Such a plate is not to be edited.
    Result<void> OpenToRead(const QString& path);
    // The first phase of an open: settings, items, lines and text boxes, the
    // work folder beside the file, and (with a preference) the plate's
    // progress and release folders. A file that cannot be read whole, or is no
    // plate file, fails and leaves this document and the file as they were.
    // The items have no previews yet; the plate reports a whole change.
    Result<void> ReadPlateFile(const QString& path);
    // The second phase: the items' previews behind the progress sink, the
    // text boxes' missing files, and the operator told of what could not be
    // had. Items whose artwork cannot be loaded stay on the plate.
    void PreparePreviews();
    // Writes the plate file atomically; the modified flag is cleared only
    // when the file was written. An item text the file's code page cannot
    // carry fails the save, naming the order and key; nothing is written.
    Result<void> Save(const QString& path);
    // Before the plate is closed: saves it under its own path when it has
    // unsaved changes. Fails, with the reason, when that save fails or the
    // plate has no file yet; the close is then refused and the flag stays set.
    Result<void> SaveIfModified();
    const QString& Path() const { return m_path; }
    // The document path without its extension: previews live there.
    const QString& WorkFolder() const { return m_workFolder; }
    // PROGRESS_DIR/account/plate/ and RELEASE_DIR/account/plate/, once opened.
    const QString& ProgressFolder() const { return m_progressFolder; }
    const QString& ReleaseFolder() const { return m_releaseFolder; }

    // The page previews of an item on the plate, then its label preview.
    // Fails, with the reason, when either cannot be had (the item's
    // artworkMissing follows the page previews).
    Result<void> RefreshItemPreviews(const CZelItem* item);
    // Draws the label previews of these items of the plate again (a label
    // was saved or deleted). Returns the reasons of those that could not be
    // drawn.
    QStringList RefreshLabelPreviews(const std::vector<const CZelItem*>& items);
    // Preview files in the work folder; empty when the order number is not a
    // plain file name (or the plate has no work folder), and then nothing may be written.
    QString PagePreviewPath(const CZelItem& item, int page) const;
    QString LabelPreviewPath(const CZelItem& item) const;
    // Orders with an item on the plate whose artwork could not be loaded, in
    // stacking order; their items are kept, and the press files are refused
    // while any is listed.
    QStringList MissingArtwork() const;
    // The same orders, each as "ORDERNUM: why" (the file and the reason).
    QStringList MissingArtworkReasons() const;
    // Tries the previews of those items again (the share may be back) and
    // returns the orders still missing.
    QStringList RetryMissingArtwork();

    // Replaces the lines of the preset the plate was made from by the plate's
    // own lines and saves the preset. Refused while the plate has unsaved changes.
    Result<void> ApplyToPreset();

    const std::vector<FreeLine>& Lines() const { return m_lines; }
    const std::vector<TextBox>& TextBoxes() const { return m_textBoxes; }
    // Replace the free lines or the text boxes (the dialogs edit them as a
    // list); nothing happens when the list is the same.
    void SetLines(std::vector<FreeLine> lines);
    void SetTextBoxes(std::vector<TextBox> boxes);
    // Makes the files of text boxes whose picture or PDF is missing (naming a
    // box without a usable name, which changes the plate). One reason per box,
    // empty where its files are there or were made.
    std::vector<QString> PrepareTextBoxPictures();

    const PlateProperties& Properties() const { return m_properties; }
    // Replaces the settings and recomputes the geometry; the whole plate changes.
    void SetProperties(const PlateProperties& properties);
    const PlateGeometry& Geometry() const { return m_geometry; }

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Items
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    const CZelItem* ItemAt(int index) const { return m_items.at(index).get(); }
    int IndexOf(const CZelItem* item) const; // -1 when not on the plate
    // Appends (or puts at the head), optionally selecting; returns the item count.
    int AddItem(std::unique_ptr<CZelItem> item, bool atHead = false, bool select = false);
    void RemoveItem(const CZelItem* item);
    int RemoveOrder(const QString& ordernum);
    void Clear();
    // Changes an item on the plate through edit, reporting its rectangle
    // before and after. False when the item is not on the plate.
    bool ChangeItem(const CZelItem* item, const std::function<void(CZelItem&)>& edit);
    const CZelItem* FindByOrdernum(const QString& ordernum) const;
    // Items of an order, or of one of its cases when mediaInd is 0 or more.
    int CountOrderItems(const QString& ordernum, int mediaInd = -1) const;

    // Selection; each returns the selected count.
    int SelectedCount() const { return static_cast<int>(m_selection.size()); }
    const std::vector<const CZelItem*>& Selection() const { return m_selection; }
    int SelectItem(const CZelItem* item);
    int SelectAll();
    int DeselectItem(const CZelItem* item);
    int DeselectAll();

    // A quarter turn clockwise or counter-clockwise.
    void RotateItem(const CZelItem* item, bool clockwise);

    // Arrangement of the selection. Each returns whether it changed anything;
    // the spacing and stacking operations also answer, in test mode, whether
    // they would apply.
    enum class Align { Left, HorizontalCentre, Right, Top, VerticalCentre, Bottom };
    enum class Stacking { BringToFront, BringForward, SendToBack, SendBackward };
    bool AlignSelection(Align kind);
    bool SpaceHorizontally(double gap, bool withOwnCut, bool testOnly = false);
    bool SpaceVertically(double gap, bool withOwnCut, bool testOnly = false);
    // Spacing with a chosen gap (-30 to 30 mm), then an alignment across the
    // axis: 0, 1, 2 for top, centre, bottom (horizontal spacing) or left,
    // centre, right (vertical spacing); 3 aligns nothing.
    bool SpaceAndAlign(bool horizontal, double gap, bool withOwnCut, int alignment);
    // Moves by (dx, dy) mm; an axis whose move would leave the pasteboard does not move.
    bool MoveSelection(double dx, double dy);
    bool ChangeStacking(Stacking kind, bool testOnly = false);
    bool RotateSelection(bool clockwise);

    struct OwnCutSettings {
        std::array<double, 4> margins{}; // CROP_LEFT, CROP_TOP, CROP_RIGHT, CROP_BOTTOM
        std::array<int, 8> marks{1, 1, 1, 1, 1, 1, 1, 1};
    };
    // The settings the own cut line dialog starts from: the plate's cut margins, every mark on.
    OwnCutSettings DefaultOwnCutSettings() const;
    bool AllSelectedHaveOwnCut() const;
    // Switches own cut lines off when every selected item has them; otherwise
    // gives every selected item these settings; with every mark clear it only
    // switches them off, keeping each item's margins and marks.
    bool ToggleOwnCut(const OwnCutSettings& settings);
    bool AllSelectedHaveFrame() const;
    // Switches frames off when every selected item has one; otherwise frames
    // the items without one in this colour.
    bool ToggleFrames(const QString& colorName);

    struct SnapResult {
        double x = 0.0;
        double y = 0.0;
        bool changed = false;
    };
    // Where a box being dragged snaps to the plate's edges, margins and grid
    // lines; near means closer than 6 device pixels at the zoom.
    SnapResult SnapPosition(const CZelBound& box, int dpiX, int dpiY, double zoom) const;

    // The box around the selection, with or without own cut lines.
    CZelBound SelectionBounds(bool withOwnCut) const;
    // The front page's size of the one selected item, turned with it; false
    // (and -1) when not exactly one item is selected.
    bool SelectionPageSize(double& width, double& height) const;

    // Placement of new items. ARRANGE_DIRECTION 0-7 search the grid cells in
    // one of eight orders, 8 places freely at the drop point.
    static constexpr int kFreePlacement = 8;
    // The cell index that step k of a search visits.
    static int SlotIndex(int direction, int k, int rows, int columns, int cells);
    // The first free position for a w x h box in the search order; false when none.
    bool FindFreeSlot(double w, double h, CZelBound& slot) const;
    // Without a grid: the place after the last item, in its row (or column)
    // or the next one; false when neither is free and inside the usable area.
    bool FindSequentialSpot(double w, double h, CZelBound& spot) const;
    // Adds the item where the arrangement puts it (turning it when that
    // covers fewer cells), selected. On failure the item is not added.
    bool AddItemAtSlot(std::unique_ptr<CZelItem> item, double dropX, double dropY);

    // Dropping orders onto the plate happens in two phases, so that no file
    // moves before the plate has agreed to take it. TryDrop is the trial: it
    // refuses the orders this plate cannot take, asks the operator about
    // quantities and room, and leaves the plate as it was; it reads each
    // order's artwork where it lies. PlaceDropped places the orders the
    // trial accepted, for real, behind the progress sink. Neither moves a
    // file: the caller owns the orders and their tickets, and returns those
    // that are not placed. The trial reports only the selection it cleared;
    // the placement reports the items it placed and the orders.
    enum class DropResult { Outside, Cancelled, Placed, Stopped };
    struct OrderVerdict {
        bool ok = false; // accepted by the trial, or placed
        QString reason;  // why not, when not
    };
    struct DropReport {
        // Trial: Placed means go on with the accepted orders.
        DropResult result = DropResult::Outside;
        std::vector<OrderVerdict> orders; // one per order given, in the order given
    };
    DropReport TryDrop(const std::vector<CZelJob*>& orders, double x, double y, bool oneCopy);
    // Whether a drop at this plate point (millimetres, page relative) is
    // taken at all: it must lie in the usable area. The view asks it while a
    // drag passes over the plate.
    bool AcceptsDropAt(double x, double y) const;
    DropReport PlaceDropped(const std::vector<CZelJob*>& orders, double x, double y, bool oneCopy);
    // Why this plate cannot take the order at all (counts out of range, or
    // more items than the plate can ever hold); empty when it can.
    QString OrderProblem(const CZelJob& job, bool oneCopy) const;
    // The most items one order may make on this plate.
    int MaxItemsPerOrder(const CZelJob& job) const;
    // Cases an order makes on this plate, and pages per item.
    int CaseCount(const CZelJob& job) const;
    int SidesPerItem(const CZelJob& job) const;
    // The sheets an order asks for: PQuantity, else Quantity truncated.
    static int OrderSheets(const CZelJob& job);
    // A new item for one case of an order, not yet placed.
    std::unique_ptr<CZelItem> MakeItem(const CZelJob& job, int caseIndex) const;
    // Moves an order's ticket and PDF back to its place in the job folder.
    Result<void> ReturnTicket(CZelJob& job);
    // The orders of this plate: its progress folder.
    const CZelJobContainer& JobContainer() const { return m_jobContainer; }
    // Reads the progress folder again after tickets came or went by other
    // hands (an intake giving back what it did not place).
    void RefreshOrders();

    // Copies the one selected item count times with this arrangement in
    // force; stops, telling the operator, when no slot is left. Returns the
    // number of copies placed; the plate's arrangement is restored.
    int DuplicateSelection(int count, int direction);
    // Deletes the selected items after asking; an order whose last item of a
    // case goes is removed whole and its ticket returned. Returns whether
    // anything was deleted.
    bool DeleteSelectedItems();
    // Deletes every item of the selected items' orders after asking, and
    // returns their tickets.
    bool DeleteSelectedOrders();
    // Gives every item of the selected item's order this label and draws
    // their label previews again. False when not exactly one item is
    // selected, or (telling the operator) when a preview cannot be drawn.
    bool ChangeLabel(const QString& labelName);

    // Undo and redo. Every operation that changes the plate's stored data
    // (items, settings, free lines, text boxes) is one step of the history,
    // named after the operation; a group makes one step of the operations
    // in it (a drag, a run of arrow keys, a drop with its tickets). Steps
    // that moved tickets move them again: undoing a placement gives its
    // tickets back to the folders they came from, redoing it takes them
    // again; an order whose ticket cannot be taken (another workstation has
    // it) is left out, the operator is told, and no step brings it back.
    // Such steps save the plate, as the operations themselves do. Opening a
    // plate clears the history; saving keeps it, and the modified flag
    // follows it (back at the saved step the plate is unmodified).
    enum class Edit {
        None,
        Place,
        Move,
        Align,
        Space,
        Rotate,
        Stacking,
        OwnCut,
        Frame,
        Duplicate,
        DeleteItems,
        DeleteOrders,
        Label,
        Properties,
        Lines,
        TextBoxes,
        Item,
    };
    // The step's name as the Edit menu shows it ("이동").
    static QString EditName(Edit edit);
    // Groups nest; the outermost one names the step.
    void BeginEdit(Edit edit);
    void EndEdit();
    class EditGroup {
    public:
        EditGroup(CTesselDoc& doc, Edit edit) : m_doc(doc) { m_doc.BeginEdit(edit); }
        ~EditGroup() { m_doc.EndEdit(); }
        EditGroup(const EditGroup&) = delete;
        EditGroup& operator=(const EditGroup&) = delete;

    private:
        CTesselDoc& m_doc;
    };
    bool InEditGroup() const { return m_groupDepth > 0; }
    // A ticket the operation under way moved; it becomes part of its step.
    void RecordTicketMove(const TicketMove& move);
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // The names of the steps undo and redo would take; empty when none.
    QString UndoName() const;
    QString RedoName() const;
    // Fails, changing nothing, when there is no step, a group is open, or a
    // ticket the step gave back cannot be taken back out of the plate's
    // folder again.
    Result<void> Undo();
    Result<void> Redo();
    const PlateHistory& History() const { return m_history; }

    // Where items may stand: the pasteboard around the plate.
    static constexpr double kPasteboardMargin = 25.0;

    // Geometry tests. Touching edges do not overlap.
    static bool Overlaps(const CZelBound& a, const CZelBound& b);
    bool InsideUsableArea(const CZelBound& rect) const;
    // For output: the item's top-left lies inside the layout area and its
    // bottom-right beyond the origin.
    bool InsideLayoutArea(const CZelItem& item) const;

private:
    // forEditing: the work, progress and release folders are made, a drop
    // cut short is finished and stale temporary files are removed.
    Result<void> ReadPlateFile(const QString& path, bool forEditing);

    // Gathers what the operations under it change and reports it once, when
    // the outermost one ends.
    class ChangeScope {
    public:
        explicit ChangeScope(CTesselDoc& doc, Edit edit = Edit::None);
        ~ChangeScope();
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

    private:
        CTesselDoc& m_doc;
    };
    void Touch(unsigned kinds) {
        m_pending.kinds |= kinds;
        NoteData(kinds);
    }
    void NoteData(unsigned kinds) {
        if (kinds & (PlateChange::Items | PlateChange::Properties | PlateChange::Furniture))
            m_dataTouched = true;
    }
    // Sets the modified flag for an operator's edit: a step of the history.
    void MarkModified() {
        m_modified = true;
        m_edited = true;
        ++m_editCount;
    }
    // Where an operation or group begins: the selection it starts from.
    void BeginUnit();
    // Where one ends: a step when it edited the plate's data.
    void RecordUnit();
    std::shared_ptr<const PlateState> TakeState();
    std::vector<int> SelectionIndices() const;
    // Makes the plate this state with this selection, as one whole change.
    void ApplyState(const std::shared_ptr<const PlateState>& state,
                    const std::vector<int>& selection);
    Result<void> Travel(bool back);
    void TouchRect(const CZelBound& rect, unsigned kinds);
    // The item's rectangle as it stands now; called before and after a change.
    void TouchItem(const CZelItem& item, unsigned kinds = PlateChange::Items) {
        TouchRect(item.Bounds(true), kinds);
        if (kinds & PlateChange::Items)
            m_dirtyItems.insert(&item);
    }
    void TouchWholePlate(unsigned kinds);
    // The plate's own item behind a pointer a caller holds, or nullptr.
    CZelItem* Owned(const CZelItem* item) const;
    // A selected item, to be changed: the selection only ever holds items of
    // m_items, which the plate owns and may change.
    static CZelItem& Selected(const CZelItem* item) { return const_cast<CZelItem&>(*item); }
    Result<void> RefreshPagePreviews(CZelItem& item);
    // Renders at once, on every processor, the page previews that refreshing
    // these items would render one by one; RefreshPagePreviews takes them
    // from there while the returned handle lives.
    [[nodiscard]] std::shared_ptr<void> RenderPreviewsAhead(const std::vector<CZelItem*>& items);
    Result<void> RefreshLabelPreview(CZelItem& item);
    Result<void> RefreshPreviews(CZelItem& item);

    bool SpaceSelection(bool horizontal, double gap, bool withOwnCut, bool testOnly);
    void RemoveOrdersAndReturnTickets(const QStringList& ordernums);
    enum class PlaceFailure { None, Room, Artwork };
    // How placing an order ended; the reason in the operator's words unless None.
    struct Placement {
        PlaceFailure failure = PlaceFailure::None;
        QString reason;
    };
    Placement PlaceOrder(const CZelJob& job, double x, double y, bool oneCopy, bool trial);
    void RemoveItemsFrom(int index);
    // Finishes drops onto this plate that were cut short, telling the
    // operator; part of an open, before the orders are read.
    void RecoverInterruptedDrops();
    bool DoubleSidedOnSingle(const CZelJob& job) const;
    // Indices of the dropped orders in placing order: most cases first when asked.
    std::vector<size_t> PlacingOrder(const std::vector<CZelJob*>& orders) const;
    Result<void> MeasureItemPages(CZelItem& item);

    ShopContext m_context;
    // Previews rendered ahead (image path: empty, or why it failed).
    std::map<QString, QString> m_renderedAhead;
    QString m_path;
    QString m_workFolder;
    QString m_progressFolder;
    QString m_releaseFolder;
    std::unique_ptr<CZelMTDocument> m_document;
    std::vector<FreeLine> m_lines;
    std::vector<TextBox> m_textBoxes;
    CZelJobContainer m_jobContainer;
    PlateProperties m_properties;
    PlateGeometry m_geometry;
    std::vector<std::unique_ptr<CZelItem>> m_items;
    std::vector<const CZelItem*> m_selection;
    bool m_modified = false;
    std::vector<PlateObserver*> m_observers;
    PlateChange m_pending;
    int m_changeDepth = 0;

    PlateHistory m_history;
    // The history's copy of each item on the plate, to share unchanged ones.
    std::unordered_map<const CZelItem*, std::shared_ptr<const CZelItem>> m_frozen;
    // Items reported changed since the history last looked; all of them after
    // a whole-plate change. Only these are compared with their copies.
    std::unordered_set<const CZelItem*> m_dirtyItems;
    bool m_allItemsDirty = false;
    int m_groupDepth = 0;
    Edit m_unitEdit = Edit::None;
    std::vector<int> m_unitSelection;
    std::vector<TicketMove> m_unitTickets;
    bool m_edited = false;
    bool m_dataTouched = false;
    bool m_historyReset = false;
    // A save during a unit: it holds the unit's step when no edit followed it.
    bool m_savedInUnit = false;
    int m_editCount = 0;
    int m_editCountAtSave = 0;
};
