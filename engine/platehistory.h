#pragma once

#include "furniture.h"
#include "plateproperties.h"
#include "zelitem.h"

#include <QString>

#include <memory>
#include <vector>

// The plate's stored data at one moment. Items are shared between states:
// an item that did not change from one state to the next is the same object
// in both, so a step costs the items it changed.
struct PlateState {
    std::vector<std::shared_ptr<const CZelItem>> items; // stacking order, unselected
    PlateProperties properties;
    std::vector<FreeLine> lines;
    std::vector<TextBox> textBoxes;

    // Same items (the same shared objects) and the same settings and furniture.
    bool SameAs(const PlateState& other) const;
    // This state without the items of these orders.
    PlateState Without(const QStringList& ordernums) const;
};

// A ticket (with its PDF) that an operation moved between the plate's
// progress folder and a folder outside it.
struct TicketMove {
    QString ordernum;
    QString ticketName; // the ticket's file name, the same on both sides
    QString outside;    // the folder it lies in when it is not on the plate
    bool taken = false; // the operation took it onto the plate; else it gave it back
};

// One operation as the history keeps it: the state before and after, the
// selection on either side (item indices, in order of selection) and the
// tickets it moved, in the order they moved.
struct PlateStep {
    QString name;
    std::shared_ptr<const PlateState> before;
    std::shared_ptr<const PlateState> after;
    std::vector<int> selectionBefore;
    std::vector<int> selectionAfter;
    std::vector<TicketMove> tickets;
};

// The undo history of one plate: steps in the order they were made, a
// position among them (steps before it are done, those after it undone),
// and the position that matches the plate file (-1: none does).
class PlateHistory {
public:
    // Starts over from this state; saved says whether the file holds it.
    void Reset(std::shared_ptr<const PlateState> state, bool saved);
    // The state at the current position.
    const std::shared_ptr<const PlateState>& Current() const { return m_current; }
    // Replaces the current state by one that no operator edit made (fresh
    // previews); the undone steps stay.
    void Rebase(std::shared_ptr<const PlateState> state);
    // Adds a done step at the position; the undone steps beyond it are dropped.
    void Push(PlateStep step);

    bool CanUndo() const { return m_position > 0; }
    bool CanRedo() const { return m_position < static_cast<int>(m_steps.size()); }
    // The step that undo or redo would take; only when it can.
    PlateStep& UndoStep() { return m_steps[m_position - 1]; }
    PlateStep& RedoStep() { return m_steps[m_position]; }
    const PlateStep* NextUndo() const { return CanUndo() ? &m_steps[m_position - 1] : nullptr; }
    const PlateStep* NextRedo() const { return CanRedo() ? &m_steps[m_position] : nullptr; }
    // Moves the position one step back or on; the current state becomes the
    // step's state on that side.
    void StepBack();
    void StepOn();

    void MarkSaved() { m_saved = m_position; }
    void MarkUnsaved() { m_saved = -1; }
    bool AtSaved() const { return m_saved == m_position; }
    int Position() const { return m_position; }
    int StepCount() const { return static_cast<int>(m_steps.size()); }

    // Takes these orders out of every state and every step: their tickets
    // went to another workstation, so no step may bring their items back.
    void Forget(const QStringList& ordernums);

private:
    std::vector<PlateStep> m_steps;
    std::shared_ptr<const PlateState> m_current = std::make_shared<PlateState>();
    int m_position = 0;
    int m_saved = 0;
};
