// The open, save and colour dialogs of comdlg32. A hook centres the file dialogs over their
// owner and, when asked, runs the preview panel beside the open dialog's list.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <vector>

#include "ui/canvas.h"
#include "ui/client_surface.h"
#include "ui/win32/gdi_canvas.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_backend.h"

namespace {
constexpr int32_t kPathCharacters = MAX_PATH;
constexpr WORD kStandardControls = 0x045F;  // where the dialog puts its own controls (stc32)
constexpr WORD kPanelPicture = 1100;

// "Name\0pattern\0…\0\0", as the dialogs take their filters.
std::wstring filterList(std::span<const UiFileFilter> filters) {
  std::wstring list;
  for (const UiFileFilter& f : filters) {
    list += wideText(f.name ? f.name : "") + L'\0';
    list += wideText(f.pattern ? f.pattern : "*.*") + L'\0';
  }
  return list + L'\0';
}

// The panel's template, built in memory: the standard controls on the left, the picture
// area to their right (dialog units).
struct PanelTemplate {
  std::vector<WORD> words;

  void add(DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
  }
  void item(DWORD style, short x, short y, short width, short height, WORD id) {
    if (words.size() % 2) words.push_back(0);  // items start on a DWORD
    add(style);
    add(0);  // extended style
    for (short v : {x, y, width, height}) words.push_back(static_cast<WORD>(v));
    words.push_back(id);
    words.push_back(0xFFFF);  // a class by atom: static
    words.push_back(0x0082);
    words.push_back(0);  // no text
    words.push_back(0);  // no creation data
  }
  PanelTemplate() {
    add(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_CONTROL | DS_3DLOOK);
    add(0);
    words.push_back(2);  // items
    for (short v : {0, 0, 306, 131}) words.push_back(static_cast<WORD>(v));
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    words.push_back(0);  // no title
    item(WS_CHILD, 0, 0, 215, 131, kStandardControls);
    item(WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 215, 20, 87, 80, kPanelPicture);
  }
};

struct HookContext {
  HWND owner;
  const UiOpenRequest* request = nullptr;  // with a preview panel
  UiSurface* panel = nullptr;
};

bool isFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void drawPanel(HookContext& context, HWND dialog) {
  wchar_t path[kPathCharacters] = L"";
  SendMessageW(dialog, CDM_GETFILEPATH, kPathCharacters, reinterpret_cast<LPARAM>(path));
  const UiOpenRequest& request = *context.request;
  const UiRect area{0, 0, request.previewWidth, request.previewHeight};
  Canvas* canvas = canvasBegin(context.panel);
  canvasFill(canvas, area, {255, 255, 255});
  request.drawPreview(canvas, area, isFile(path) ? utf8Text(path).c_str() : "", request.previewContext);
  canvasEnd(canvas);
}

// The picture area goes beside the dialog's own controls, level with the file list, at the
// size the request asked for: systems lay out the standard controls differently, so it is
// placed once they are.
void placePanel(const HookContext& context, HWND dialog, HWND child) {
  constexpr int kFileList = 0x0460, kMargin = 4;
  RECT standard{0, 0, 0, 0};
  for (int id : {IDOK, kFileList}) {
    RECT r;
    if (HWND control = GetDlgItem(dialog, id); control && GetWindowRect(control, &r)) {
      standard.right = std::max(standard.right, r.right);
      if (id == kFileList) standard.top = r.top;
    }
  }
  MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&standard), 2);
  MoveWindow(GetDlgItem(child, kPanelPicture), standard.right + kMargin, standard.top, context.request->previewWidth,
             context.request->previewHeight, FALSE);
}

UINT_PTR CALLBACK fileHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  auto* context = reinterpret_cast<HookContext*>(GetWindowLongPtrW(child, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      context = reinterpret_cast<HookContext*>(reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData);
      SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context));
      return TRUE;
    case WM_NOTIFY: {
      if (!context) return 0;
      const auto* note = reinterpret_cast<const OFNOTIFYW*>(lParam);
      HWND dialog = GetParent(child);
      if (note->hdr.code == CDN_INITDONE) {
        RECT frame;
        GetWindowRect(dialog, &frame);
        const POINT at = placeOver(context->owner, frame.right - frame.left, frame.bottom - frame.top, true);
        SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (context->panel) placePanel(*context, dialog, child);
      }
      if (note->hdr.code == CDN_SELCHANGE && context->panel) {
        drawPanel(*context, dialog);
        InvalidateRect(GetDlgItem(child, kPanelPicture), nullptr, FALSE);
      }
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!context || !context->panel || item->CtlID != kPanelPicture) return 0;
      BitBlt(item->hDC, 0, 0, context->panel->width, context->panel->height, context->panel->dc, 0, 0, SRCCOPY);
      return TRUE;
    }
    default:
      return 0;
  }
}

// What the dialog ended with: a dialog that could not be shown says why.
UiChoice outcome(BOOL chosen, const std::vector<wchar_t>& file, std::string& path) {
  if (chosen) {
    path = utf8Text(file.data());
    return UiChoice::chosen;
  }
  const DWORD error = CommDlgExtendedError();
  if (error == 0) return UiChoice::cancelled;
  // A name longer than a path may be is a choice the module cannot take: nothing was chosen.
  if (error == FNERR_BUFFERTOOSMALL) return UiChoice::cancelled;
  setLastError("the file dialog cannot be shown (error " + std::to_string(error) + ")");
  return UiChoice::cannotShow;
}

// What an open and a save dialog share; the texts live as long as the dialog.
struct FileDialog {
  std::wstring filters, folder, title;
  std::vector<wchar_t> file = std::vector<wchar_t>(kPathCharacters, L'\0');
  HookContext context;
  OPENFILENAMEW names{};

  FileDialog(intptr_t owner, std::span<const UiFileFilter> filterSet, const char* startFolder, const char* windowTitle,
             const char* proposedName)
      : filters(filterList(filterSet)),
        folder(wideText(startFolder ? startFolder : "")),
        title(wideText(windowTitle ? windowTitle : "")),
        context{windowOf(owner)} {
    const std::wstring proposed = wideText(proposedName ? proposedName : "");
    std::copy_n(proposed.begin(), std::min<size_t>(proposed.size(), kPathCharacters - 1), file.begin());
    names.lStructSize = sizeof names;
    names.hwndOwner = context.owner;
    names.lpstrFilter = filters.c_str();
    names.nFilterIndex = 1;
    names.lpstrFile = file.data();
    names.nMaxFile = kPathCharacters;
    names.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    names.lpstrTitle = title.c_str();
    names.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;
    names.lpfnHook = fileHook;
    names.lCustData = reinterpret_cast<LPARAM>(&context);
  }
  FileDialog(const FileDialog&) = delete;
};
}  // namespace

UiChoice win32OpenFile(const UiOpenRequest& request, std::string& path) {
  FileDialog open(request.owner, request.filters, request.folder, request.title, request.proposedName);
  if (request.mustExist) open.names.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  PanelTemplate panel;
  if (request.drawPreview && request.previewWidth > 0 && request.previewHeight > 0) {
    open.context.request = &request;
    open.context.panel = surfaceCreate(request.previewWidth, request.previewHeight);
    Canvas* canvas = canvasBegin(open.context.panel);
    canvasFill(canvas, {0, 0, request.previewWidth, request.previewHeight}, {255, 255, 255});
    canvasEnd(canvas);
    open.names.Flags |= OFN_ENABLETEMPLATEHANDLE;
    // With that flag the dialog takes this member as the template itself.
    open.names.hInstance = reinterpret_cast<HINSTANCE>(panel.words.data());
  }
  const CommonControlsScope controls;
  const BOOL chosen = GetOpenFileNameW(&open.names);
  surfaceDestroy(open.context.panel);
  return outcome(chosen, open.file, path);
}

UiChoice win32SaveFile(const UiSaveRequest& request, std::string& path) {
  FileDialog save(request.owner, request.filters, request.folder, request.title, request.proposedName);
  const std::wstring extension = wideText(request.defaultExtension ? request.defaultExtension : "");
  save.names.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  save.names.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  const CommonControlsScope controls;
  return outcome(GetSaveFileNameW(&save.names), save.file, path);
}

UiChoice win32ChooseColour(intptr_t owner, UiColour& colour, std::span<const UiColour> custom) {
  std::array<COLORREF, 16> customs;
  customs.fill(RGB(255, 255, 255));
  for (size_t i = 0; i < std::min(custom.size(), customs.size()); ++i) {
    customs[i] = RGB(custom[i].red, custom[i].green, custom[i].blue);
  }
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = windowOf(owner);
  choose.rgbResult = RGB(colour.red, colour.green, colour.blue);
  choose.lpCustColors = customs.data();
  choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  const CommonControlsScope controls;
  if (!ChooseColorW(&choose)) {
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return UiChoice::cancelled;
    setLastError("the colour dialog cannot be shown (error " + std::to_string(error) + ")");
    return UiChoice::cannotShow;
  }
  colour = {GetRValue(choose.rgbResult), GetGValue(choose.rgbResult), GetBValue(choose.rgbResult)};
  return UiChoice::chosen;
}
