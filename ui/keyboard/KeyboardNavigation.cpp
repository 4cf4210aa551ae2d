#include "KeyboardNavigation.h"

#include "Navigation.h"
#include "TextBox.h"

#include <QKeyEvent>
#include <QPushButton>

namespace parlowen {
namespace {

// The window's own tab order, as Tab moves the focus in any window: the next control that can take it.
void StepInTabOrder(QWidget* from, bool forward) {
    QWidget* widget = from;
    do {
        widget = forward ? widget->nextInFocusChain() : widget->previousInFocusChain();
    } while (widget != from && !(widget->window() == from->window() && widget->isEnabled() &&
                                 widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus)));
    widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

} // namespace

KeyboardNavigation::KeyboardNavigation(const MainWindowControls& controls, QObject* parent)
    : QObject(parent), controls_(controls) {
    for (auto control = controls_.refs.cbegin(); control != controls_.refs.cend(); ++control) {
        if (control->id != ControlId::LogList) {
            const_cast<QObject*>(control.key())->installEventFilter(this);
        }
    }
}

bool KeyboardNavigation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const QKeyCombination key = NormalisedKey(static_cast<const QKeyEvent&>(*event).keyCombination());
    const std::optional<ControlRef> control = controls_.RefOf(watched);
    if ((key.key() != Qt::Key_Tab && key.key() != Qt::Key_Return) || !control) {
        return false;
    }
    Navigate(*control, key);
    return true; // Tab and Enter only ever move or press: the characters never reach a control
}

void KeyboardNavigation::Navigate(const ControlRef& from, QKeyCombination key) {
    NavigationState state;
    for (int i = 0; i < SpeakerRows; ++i) {
        state.keywordHoldsText[i] = !controls_.speakerKeywordBox[i]->text().isEmpty();
        state.speakerColourEnabled[i] = controls_.Widget({ControlId::SpeakerColourButton, i})->isEnabled();
    }
    state.convertEnabled = controls_.convertButton->isEnabled();
    state.exportEnabled = controls_.exportButton->isEnabled();
    state.pageColourEnabled = controls_.Widget({ControlId::PageColourButton})->isEnabled();
    state.entryColourEnabled = controls_.Widget({ControlId::EntryColourButton})->isEnabled();
    const NavigationAction action = parlowen::Navigate(from, key, state);
    switch (action.kind) {
    case NavigationAction::Kind::Focus:
        controls_.Widget(action.target)
            ->setFocus(key.keyboardModifiers() == Qt::NoModifier ? Qt::TabFocusReason
                                                                 : Qt::BacktabFocusReason);
        break;
    case NavigationAction::Kind::Press:
        // A key press takes the mouse's path through the button's own click.
        if (auto* button = qobject_cast<QPushButton*>(controls_.Widget(action.target))) {
            button->click();
        }
        break;
    case NavigationAction::Kind::NextInTabOrder:
    case NavigationAction::Kind::PreviousInTabOrder:
        StepInTabOrder(controls_.Widget(from), action.kind == NavigationAction::Kind::NextInTabOrder);
        break;
    case NavigationAction::Kind::None:
        break;
    }
}

} // namespace parlowen
