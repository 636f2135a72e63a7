#pragma once

#include "motif/librarian/X0vState.h"

#include <QUndoCommand>
#include <functional>
#include <memory>

// One edit on the undo stack: the library's states before and after. The edit has been made when
// the command is pushed, so its first redo does nothing.
class StateCommand : public QUndoCommand {
public:
    using State = std::shared_ptr<const X0vState>;
    using Apply = std::function<void(const State&)>;

    StateCommand(const QString& text, State before, State after, Apply apply);
    void undo() override;
    void redo() override;

private:
    State before_;
    State after_;
    Apply apply_;
    bool done_ = true;
};
