#include "Navigation.h"

#include "Keys.h"

namespace parlowen {
namespace {

using Kind = NavigationAction::Kind;

NavigationAction Press(ControlId id, int index = 0) {
    return {Kind::Press, {id, index}};
}

NavigationAction Focus(ControlId id, int index = 0) {
    return {Kind::Focus, {id, index}};
}

// The box holds text: the next stop is its colour button; otherwise the next box, or checkView after the
// last.
NavigationAction ForwardFromKeyword(int index, const NavigationState& state) {
    if (state.keywordHoldsText[index]) {
        return Focus(ControlId::SpeakerColourButton, index);
    }
    return index == SpeakerRows - 1 ? Focus(ControlId::CheckView)
                                    : Focus(ControlId::SpeakerKeywordBox, index + 1);
}

NavigationAction BackwardFromKeyword(int index, const NavigationState& state) {
    if (index == 0) {
        return Focus(ControlId::PageColourButton);
    }
    return state.keywordHoldsText[index - 1] ? Focus(ControlId::SpeakerColourButton, index - 1)
                                             : Focus(ControlId::SpeakerKeywordBox, index - 1);
}

// Controls where Enter and Tab are the same key.
bool EnterEqualsTab(ControlId id) {
    return id == ControlId::LogList || id == ControlId::EmphasisBox || id == ControlId::EntryKeywordBox ||
           id == ControlId::SpeakerKeywordBox || id == ControlId::CheckView;
}

NavigationAction Forward(const ControlRef& from, bool enter, const NavigationState& state) {
    switch (from.id) {
    case ControlId::LogList:
        return Press(ControlId::LogList);
    case ControlId::EmphasisBox:
        return Focus(ControlId::EntryKeywordBox);
    case ControlId::EntryKeywordBox:
        return Focus(ControlId::EntryColourButton);
    case ControlId::EntryColourButton:
        return enter ? Press(ControlId::EntryColourButton) : Focus(ControlId::PageColourButton);
    case ControlId::PageColourButton:
        return enter ? Press(ControlId::PageColourButton) : Focus(ControlId::SpeakerKeywordBox, 0);
    case ControlId::SpeakerKeywordBox:
        return ForwardFromKeyword(from.index, state);
    case ControlId::SpeakerColourButton:
        if (enter) {
            return Press(ControlId::SpeakerColourButton, from.index);
        }
        return from.index == SpeakerRows - 1 ? Focus(ControlId::CheckView)
                                             : Focus(ControlId::SpeakerKeywordBox, from.index + 1);
    case ControlId::CheckView:
        return Focus(ControlId::ConvertButton);
    case ControlId::ConvertButton:
        return enter ? Press(ControlId::ConvertButton) : Focus(ControlId::ExportButton);
    case ControlId::ExportButton:
        return enter ? Press(ControlId::ExportButton) : Focus(ControlId::ExitButton);
    case ControlId::ExitButton:
        return enter ? Press(ControlId::ExitButton) : Focus(ControlId::ExitButton);
    case ControlId::ProductInfoButton:
        return enter ? Press(ControlId::ProductInfoButton) : NavigationAction{Kind::NextInTabOrder, {}};
    case ControlId::LogNameBox:
        return {Kind::NextInTabOrder, {}};
    default: // the labels and the frame take no focus
        break;
    }
    return {};
}

NavigationAction Backward(const ControlRef& from, bool enter, const NavigationState& state) {
    switch (from.id) {
    case ControlId::LogList:
        return Focus(ControlId::ProductInfoButton);
    case ControlId::EmphasisBox:
        return Focus(ControlId::LogList);
    case ControlId::EntryKeywordBox:
        return Focus(ControlId::EmphasisBox);
    case ControlId::EntryColourButton:
        return Focus(ControlId::EntryKeywordBox);
    case ControlId::PageColourButton:
        return Focus(ControlId::EntryColourButton);
    case ControlId::SpeakerKeywordBox:
        return BackwardFromKeyword(from.index, state);
    case ControlId::SpeakerColourButton:
        return Focus(ControlId::SpeakerKeywordBox, from.index);
    case ControlId::CheckView:
        return Focus(ControlId::SpeakerColourButton, SpeakerRows - 1);
    case ControlId::ConvertButton:
        return Focus(ControlId::CheckView);
    case ControlId::ExportButton:
        return Focus(ControlId::ConvertButton);
    case ControlId::ExitButton:
        // Shift+Enter and Shift+Tab part ways here.
        return enter ? Focus(ControlId::ExportButton) : Focus(ControlId::ConvertButton);
    case ControlId::ProductInfoButton:
    case ControlId::LogNameBox:
        return {Kind::PreviousInTabOrder, {}};
    default:
        break;
    }
    return {};
}

} // namespace

bool NavigationState::Enabled(const ControlRef& control) const {
    switch (control.id) {
    case ControlId::ConvertButton:
        return convertEnabled;
    case ControlId::ExportButton:
        return exportEnabled;
    case ControlId::PageColourButton:
        return pageColourEnabled;
    case ControlId::EntryColourButton:
        return entryColourEnabled;
    case ControlId::SpeakerColourButton:
        return speakerColourEnabled[control.index];
    default:
        return true;
    }
}

NavigationAction Navigate(const ControlRef& from, QKeyCombination key, const NavigationState& state) {
    const QKeyCombination normalised = NormalisedKey(key);
    const Qt::KeyboardModifiers modifiers = normalised.keyboardModifiers();
    if (normalised.key() == Qt::Key_F12) {
        return Press(ControlId::ExitButton);
    }
    if ((normalised.key() != Qt::Key_Return && normalised.key() != Qt::Key_Tab) ||
        (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)) {
        return {};
    }
    const bool enter = normalised.key() == Qt::Key_Return && !EnterEqualsTab(from.id);
    NavigationAction action =
        modifiers == Qt::NoModifier ? Forward(from, enter, state) : Backward(from, enter, state);
    if (action.kind == Kind::Focus && !state.Enabled(action.target)) {
        return Focus(ControlId::LogList);
    }
    return action;
}

} // namespace parlowen
