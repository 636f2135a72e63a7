#include "StateCommand.h"

StateCommand::StateCommand(const QString& text, State before, State after, Apply apply)
    : QUndoCommand(text), before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply))
{
}

void StateCommand::undo()
{
    apply_(before_);
    done_ = false;
}

void StateCommand::redo()
{
    if (!done_) apply_(after_);
    done_ = true;
}
