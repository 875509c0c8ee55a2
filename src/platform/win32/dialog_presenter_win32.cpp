// The Windows presenter: the printer-list dialogs run as real modal dialogs
// from the library's templates (dialogs.rc), with the list views, the image
// list of bitmap 114, the combo box and the warning boxes. What a control's
// action means is decided by dialogs::PrinterDialog; this file only turns
// window messages into its calls and its state into controls.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "base/name_cut.h"
#include "dialogs/dialog_layouts.h"
#include "dialogs/dialog_state.h"
#include "dialogs/dialog_presenter.h"
#include "printers/printer_list_state.h"

namespace zeseal::platform {
namespace {

using dialogs::DialogKind;

// The dialog on screen: one at a time per process, as the printer-list
// state it reads is process-wide.
struct OpenDialog {
    dialogs::PrinterDialog* logic = nullptr;
    HBRUSH instructionBrush = nullptr;  // dialog 116's blue instruction
};

OpenDialog& TheOpenDialog() noexcept {
    static OpenDialog open;
    return open;
}

// The module the list exports recorded for the dialogs' resources.
HINSTANCE ResourceModule() noexcept {
    const void* module = printers::ThePrinterListState().moduleInstance;
    if (module == nullptr) module = dialogs::ThisModuleHandle();
    return static_cast<HINSTANCE>(const_cast<void*>(module));
}

void DeleteInstructionBrush() noexcept {
    OpenDialog& open = TheOpenDialog();
    if (open.instructionBrush != nullptr) DeleteObject(open.instructionBrush);
    open.instructionBrush = nullptr;
}

dialogs::ScreenRect WindowRectOf(HWND window) noexcept {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Centres the dialog on its parent, or on the desktop when it has none or
// the parent is minimised; the size stays.
void CentreOnOwner(HWND dialog) noexcept {
    HWND owner = GetParent(dialog);
    if (owner == nullptr || IsIconic(owner)) owner = GetDesktopWindow();
    const dialogs::ScreenPoint at =
        dialogs::CentreOnOwner(WindowRectOf(owner), WindowRectOf(dialog));
    SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Dialog 101's statics for the chosen entry: driver, port and support text.
void ShowChosenEntry(HWND dialog, const dialogs::PrinterDialog& logic) {
    const std::vector<dialogs::DialogText> texts = logic.Texts();
    for (const std::int32_t id :
         {dialogs::kPortStatic, dialogs::kDriverStatic, dialogs::kSupportStatic}) {
        const char* shown = "";
        for (const dialogs::DialogText& text : texts) {
            if (text.controlId == id) shown = text.text;
        }
        char buffer[base::kNameBufferSize];
        std::snprintf(buffer, sizeof buffer, "%s", shown);
        SetDlgItemTextA(dialog, id, buffer);
    }
}

void InitChoosePrinter(HWND dialog, const dialogs::PrinterDialog& logic) {
    HWND combo = GetDlgItem(dialog, dialogs::kPrinterCombo);
    for (const dialogs::DialogRow& row : logic.Rows()) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.name));
    }
    const std::int32_t current = logic.CurrentRow();
    if (current >= 0) {
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
        SetWindowTextA(combo, logic.Rows()[static_cast<std::size_t>(current)].name);
    }
    ShowChosenEntry(dialog, logic);
    for (const dialogs::DialogButton& button : logic.Buttons()) {
        ShowWindow(GetDlgItem(dialog, button.id), button.visible ? SW_SHOW : SW_HIDE);
    }
}

void SetRowState(HWND list, std::int32_t row, UINT state) noexcept {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Fills a list dialog's list view: the two printer pictures, the two
// columns, one row per record, and the default printer's row in view
// (dialog 116 also selects and focuses it).
void FillPrinterListView(HWND dialog, int listId, const dialogs::PrinterDialog& logic,
                         DWORD extendedStyle, bool selectDefaultRow) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(extendedStyle));
    HIMAGELIST pictures = ImageList_LoadImageA(
        ResourceModule(), MAKEINTRESOURCEA(dialogs::kPrinterPicturesBitmap),
        dialogs::kPrinterPictureSize, 1, dialogs::kPrinterPictureMaskRgb, IMAGE_BITMAP,
        LR_DEFAULTCOLOR);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(pictures));

    const int widths[] = {dialogs::kPrinterColumnWidth, dialogs::kVerdictColumnWidth};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA format{};
        format.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        format.fmt = LVCFMT_LEFT;
        format.cx = widths[column];
        format.pszText = const_cast<char*>(logic.ColumnTitle(column));
        format.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&format));
    }

    int index = 0;
    for (const dialogs::DialogRow& row : logic.Rows()) {
        char name[base::kNameBufferSize];
        std::snprintf(name, sizeof name, "%s", row.name);
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = name;
        item.iImage = row.picture;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMA verdict{};
        verdict.iSubItem = 1;
        verdict.pszText = const_cast<char*>(row.verdict);
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&verdict));
        ++index;
    }

    const std::int32_t defaultRow = dialogs::TheDialogState().defaultPrinterRow;
    if (selectDefaultRow) {
        SetRowState(list, -1, 0);
        SetRowState(list, defaultRow, LVIS_SELECTED | LVIS_FOCUSED);
    }
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(defaultRow), FALSE);
}

void Initialise(HWND dialog, dialogs::PrinterDialog& logic) {
    CentreOnOwner(dialog);
    switch (logic.Kind()) {
        case DialogKind::kChoosePrinter: InitChoosePrinter(dialog, logic); break;
        case DialogKind::kContinueList:
            FillPrinterListView(dialog, dialogs::kContinueListView, logic, 0, false);
            break;
        case DialogKind::kShowList:
            FillPrinterListView(dialog, dialogs::kShowListView, logic, 0, false);
            break;
        case DialogKind::kSelectPrinter:
            TheOpenDialog().instructionBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
            FillPrinterListView(dialog, dialogs::kSelectListView, logic, LVS_EX_FULLROWSELECT,
                                true);
            break;
    }
}

void Command(HWND dialog, dialogs::PrinterDialog& logic, std::int32_t id) {
    const dialogs::CommandOutcome outcome = logic.Command(id);
    if (outcome.warning != dialogs::Warning::kNone) {
        const dialogs::WarningBox box = dialogs::WarningBoxOf(outcome.warning);
        MessageBoxA(dialog, box.text, box.caption, MB_OK | MB_ICONWARNING);
    }
    if (outcome.ended) {
        DeleteInstructionBrush();
        EndDialog(dialog, outcome.endValue);
    }
}

INT_PTR Notify(dialogs::PrinterDialog& logic, const NMHDR& header) {
    if (!logic.IsListDialog()) return FALSE;
    if (header.code == NM_CLICK) {
        const auto focused = static_cast<std::int32_t>(
            SendMessageA(header.hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        logic.ClickRow(focused);
    } else if (header.code == LVN_ITEMCHANGED) {
        // A selection moved with the keyboard (or by a click, which NM_CLICK
        // then reports as well).
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0) {
            logic.SelectRow(change.iItem);
        }
    }
    return FALSE;
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    dialogs::PrinterDialog* logic = TheOpenDialog().logic;
    if (logic == nullptr) return FALSE;
    switch (message) {
        case WM_INITDIALOG: Initialise(dialog, *logic); return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (logic->Kind() == DialogKind::kChoosePrinter && id == dialogs::kPrinterCombo) {
                if (HIWORD(wParam) == CBN_SELCHANGE) {
                    logic->SelectRow(static_cast<std::int32_t>(
                        SendMessageA(reinterpret_cast<HWND>(lParam), CB_GETCURSEL, 0, 0)));
                    ShowChosenEntry(dialog, *logic);
                }
                return TRUE;
            }
            if (HIWORD(wParam) == BN_CLICKED) Command(dialog, *logic, id);
            return TRUE;
        }
        case WM_NOTIFY: return Notify(*logic, *reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC: {
            HBRUSH brush = TheOpenDialog().instructionBrush;
            if (brush == nullptr ||
                reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, dialogs::kSelectInstruction)) {
                return FALSE;
            }
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(brush);
        }
        case WM_DESTROY: DeleteInstructionBrush(); return FALSE;
        default: return FALSE;
    }
}

// No exception may unwind through the system's dialog code: one that
// reaches here ends the dialog as one that could not run.
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandleMessage(dialog, message, wParam, lParam);
    } catch (...) {
        DeleteInstructionBrush();
        EndDialog(dialog, dialogs::kDialogNotCreated);
        return TRUE;
    }
}

class WindowsPresenter final : public dialogs::DialogPresenter {
public:
    std::int32_t Run(dialogs::PrinterDialog& dialog, HWND owner) override {
        OpenDialog& open = TheOpenDialog();
        if (open.logic != nullptr) return dialogs::kDialogNotCreated;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        open.logic = &dialog;
        const INT_PTR ended =
            DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(static_cast<int>(dialog.Kind())),
                            owner, DialogProcedure, 0);
        DeleteInstructionBrush();
        open.logic = nullptr;
        return ended == -1 ? dialogs::kDialogNotCreated : static_cast<std::int32_t>(ended);
    }
};

}  // namespace
}  // namespace zeseal::platform

namespace zeseal::dialogs {

DialogPresenter* ActiveDialogPresenter() noexcept {
    static platform::WindowsPresenter presenter;
    return &presenter;
}

// The library's own module, by its name; when a host loads it under another
// name (or links it in), the module that holds this code.
const void* ThisModuleHandle() noexcept {
    if (HMODULE named = GetModuleHandleA("ZEsealWARDEN.dll")) return named;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModuleHandle), &self);
    return self;
}

}  // namespace zeseal::dialogs
