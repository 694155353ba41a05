#include "animsets/AnimationSetUtility.h"

#include "animsets/AnimationSetList.h"
#include "animsets/AnimationSetStore.h"
#include "host/FrameTicks.h"
#include "host/PluginInstance.h"
#include "resources/resource.h"
#include "ui/NumberText.h"

#include <maxapi.h>

#include <commctrl.h>

AnimationSetUtility::~AnimationSetUtility() {
    if (acceleratorsHeld) EnableAccelerators();
}

void AnimationSetUtility::BeginEditParams(Interface* ip, IUtil* iu) {
    utilityInterface = iu;
    if (!dialog.IsOpen()) CreateDialogWindow(ip);
    // Without its template there is no dialog to show: Show would make a plain window instead.
    if (!dialog.IsOpen()) return;
    RefreshFromScene();
    dialog.Show(SW_SHOWNORMAL);
}

void AnimationSetUtility::EndEditParams(Interface*, IUtil*) {}

void AnimationSetUtility::DeleteThis() {
    delete this;
}

void AnimationSetUtility::CreateDialogWindow(Interface* ip) {
    HWND owner = ip ? ip->GetMAXHWnd() : nullptr;
    if (!dialog.Create(IDD_ANIMATION_SETS, owner, pluginInstance)) return;
    dialog.AddMessageHandler(WM_COMMAND, MessageHandler{CommandHandler, this});
    dialog.AddMessageHandler(WM_CLOSE, MessageHandler{CloseHandler, this});
    dialog.AddCommandHandler(IDC_SET_STORE, MessageHandler{SetHandler, this});
    dialog.AddCommandHandler(IDC_SET_DELETE, MessageHandler{DeleteHandler, this});
    dialog.AddCommandHandler(IDC_SET_SLIDER, MessageHandler{SetSliderHandler, this});
    dialog.AddCommandHandler(IDC_ALL_SLIDER, MessageHandler{AllSliderHandler, this});
    dialog.AddCommandHandler(IDC_SET_LIST, MessageHandler{ListHandler, this});
    List().SetUp();
}

AnimationSetList AnimationSetUtility::List() const {
    return AnimationSetList(dialog.GetListView(IDC_SET_LIST));
}

void AnimationSetUtility::RefreshFromScene() {
    // The store reads the chunk with bounds: a chunk from someone else's scene file cannot make
    // the list read past its end.
    std::vector<AnimationSetEntry> sets;
    AnimationSetStore().LoadFromScene(sets);
    List().Fill(sets);
}

void AnimationSetUtility::CatchUpWithScene() {
    std::vector<AnimationSetEntry> stored;
    AnimationSetStore().LoadFromScene(stored);
    AnimationSetList list = List();
    // Refilling would drop the selection, so an unchanged scene leaves the rows alone.
    if (list.Entries() != stored) list.Fill(stored);
}

void AnimationSetUtility::WriteListToScene() {
    AnimationSetStore().SaveToScene(List().Entries());
    SetSaveRequiredFlag(TRUE);
}

void AnimationSetUtility::ApplySliderRange(int startFrame, int endFrame) {
    Interface* ip = GetCOREInterface();
    const bool wasPlaying = ip->IsAnimPlaying() != FALSE;
    if (wasPlaying) ip->EndAnimPlayback();
    const int ticksPerFrame = GetTicksPerFrame();
    ip->SetAnimRange(
        Interval(frameToTicks(startFrame, ticksPerFrame), frameToTicks(endFrame, ticksPerFrame)));
    if (wasPlaying) ip->StartAnimPlayback(0);
}

void AnimationSetUtility::OnSet() {
    // All three edits are read before the list changes: every cell written below announces an
    // item change, which copies that row into the edits.
    const std::string name = ControlText(dialog.GetHandle(), IDC_SET_NAME);
    const std::string startText = ControlText(dialog.GetHandle(), IDC_SET_START);
    const std::string endText = ControlText(dialog.GetHandle(), IDC_SET_END);
    if (name.empty()) return;
    CatchUpWithScene();
    AnimationSetList list = List();
    int row = list.FindRow(name);
    if (row < 0) row = list.AppendRow(name);
    if (row < 0) return;
    list.SetFrames(row, parseInteger(startText.c_str()), parseInteger(endText.c_str()));
    dialog.SetText(IDC_SET_NAME, "");
    dialog.SetText(IDC_SET_START, "");
    dialog.SetText(IDC_SET_END, "");
    WriteListToScene();
}

void AnimationSetUtility::OnDelete() {
    const std::string name = ControlText(dialog.GetHandle(), IDC_SET_NAME);
    if (name.empty()) return;
    CatchUpWithScene();
    AnimationSetList list = List();
    const int row = list.FindRow(name);
    if (row < 0) return;
    list.DeleteRow(row);
    WriteListToScene();
}

void AnimationSetUtility::OnSetSlider() {
    const std::string startText = ControlText(dialog.GetHandle(), IDC_SET_START);
    const std::string endText = ControlText(dialog.GetHandle(), IDC_SET_END);
    if (startText.empty() || endText.empty()) return;
    ApplySliderRange(parseInteger(startText.c_str()), parseInteger(endText.c_str()));
}

void AnimationSetUtility::OnAllSlider() {
    const std::vector<AnimationSetEntry> sets = List().Entries();
    if (sets.empty()) return;
    int first = sets.front().start;
    int last = sets.front().end;
    for (const AnimationSetEntry& set : sets) {
        if (set.start < first) first = set.start;
        if (set.end > last) last = set.end;
    }
    ApplySliderRange(first, last);
}

void AnimationSetUtility::OnListNotify(const WindowMessage& message) {
    const auto* header = reinterpret_cast<const NMHDR*>(message.lParam);
    if (!header || header->code != static_cast<UINT>(LVN_ITEMCHANGED)) return;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    AnimationSetList list = List();
    // A change of all items (-1) or of a row that is gone names no row to copy.
    if (!list.HasRow(change->iItem)) return;
    const std::string name = list.CellText(change->iItem, AnimationSetList::nameColumn);
    const std::string start = list.CellText(change->iItem, AnimationSetList::startColumn);
    const std::string end = list.CellText(change->iItem, AnimationSetList::endColumn);
    dialog.SetText(IDC_SET_NAME, name.c_str());
    dialog.SetText(IDC_SET_START, start.c_str());
    dialog.SetText(IDC_SET_END, end.c_str());
}

void AnimationSetUtility::OnEditFocus(const WindowMessage& message) {
    // While the user types in the dialog, keys must reach the edits, not the host's shortcuts.
    switch (HIWORD(message.wParam)) {
    case EN_SETFOCUS:
        DisableAccelerators();
        acceleratorsHeld = true;
        break;
    case EN_KILLFOCUS:
        EnableAccelerators();
        acceleratorsHeld = false;
        break;
    default:
        break;
    }
}

void AnimationSetUtility::OnClose() {
    // The host ends the utility from here and may delete this object at once: nothing may touch
    // the object or the dialog after the call.
    if (IUtil* panel = utilityInterface) {
        panel->CloseUtility();
        return;
    }
    dialog.Close();
}

void AnimationSetUtility::SetHandler(void* object, WindowMessage&) {
    static_cast<AnimationSetUtility*>(object)->OnSet();
}

void AnimationSetUtility::DeleteHandler(void* object, WindowMessage&) {
    static_cast<AnimationSetUtility*>(object)->OnDelete();
}

void AnimationSetUtility::SetSliderHandler(void* object, WindowMessage&) {
    static_cast<AnimationSetUtility*>(object)->OnSetSlider();
}

void AnimationSetUtility::AllSliderHandler(void* object, WindowMessage&) {
    static_cast<AnimationSetUtility*>(object)->OnAllSlider();
}

void AnimationSetUtility::ListHandler(void* object, WindowMessage& message) {
    // The list's notify messages arrive here; its command messages carry nothing for the dialog.
    if (message.id == WM_NOTIFY) static_cast<AnimationSetUtility*>(object)->OnListNotify(message);
}

void AnimationSetUtility::CommandHandler(void* object, WindowMessage& message) {
    static_cast<AnimationSetUtility*>(object)->OnEditFocus(message);
}

void AnimationSetUtility::CloseHandler(void* object, WindowMessage&) {
    static_cast<AnimationSetUtility*>(object)->OnClose();
}
