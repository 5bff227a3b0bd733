#include "platform/win32/Dialog.h"

#include "platform/ErrorReport.h"
#include "platform/win32/WindowClass.h"

namespace ombrevane::win32 {

namespace {

// The class atom of dialog windows.
constexpr ULONG_PTR kDialogClassAtom = 0x8002;

detail::DialogBinding* BindingOf(HWND dialog) {
    return reinterpret_cast<detail::DialogBinding*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

} // namespace

DialogTemplate DialogTemplate::FromResource(const char* name) {
    DialogTemplate source;
    source.resource_ = name;
    return source;
}

DialogTemplate DialogTemplate::FromMemory(const DLGTEMPLATE* memory) {
    DialogTemplate source;
    source.memory_ = memory;
    return source;
}

namespace detail {

INT_PTR CALLBACK DialogBinding::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* binding = reinterpret_cast<DialogBinding*>(lParam);
        binding->dialog = dialog;
        ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
    }
    DialogBinding* binding = BindingOf(dialog);
    if (binding == nullptr || binding->dialog != dialog) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, 0);
        binding->dialog = nullptr;
    }
    // As for windows: an error no handler dealt with is reported and the dialog goes on.
    try {
        return binding->Handle(dialog, message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return FALSE;
    }
}

INT_PTR DialogBinding::RunModal(HWND owner, const DialogTemplate& source, DialogBinding& binding) {
    binding.modeless = false;
    const auto param = reinterpret_cast<LPARAM>(&binding);
    if (source.Memory() != nullptr) {
        return ::DialogBoxIndirectParamA(ProgramInstance(), source.Memory(), owner, &Procedure,
                                         param);
    }
    return ::DialogBoxParamA(ProgramInstance(), source.Resource(), owner, &Procedure, param);
}

HWND DialogBinding::CreateModeless(HWND owner, const DialogTemplate& source,
                                   DialogBinding& binding) {
    binding.modeless = true;
    binding.result = 0;
    const auto param = reinterpret_cast<LPARAM>(&binding);
    const HWND dialog =
        source.Memory() != nullptr
            ? ::CreateDialogIndirectParamA(ProgramInstance(), source.Memory(), owner, &Procedure,
                                           param)
            : ::CreateDialogParamA(ProgramInstance(), source.Resource(), owner, &Procedure, param);
    if (dialog != nullptr) {
        ::ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
}

} // namespace detail

void CloseDialog(HWND dialog, INT_PTR result) {
    detail::DialogBinding* binding = BindingOf(dialog);
    if (binding != nullptr && binding->dialog == dialog && binding->modeless) {
        binding->result = result;
        ::DestroyWindow(dialog);
        return;
    }
    ::EndDialog(dialog, result);
}

std::string DialogItemText(HWND dialog, int id) {
    const HWND item = ::GetDlgItem(dialog, id);
    if (item == nullptr) {
        return {};
    }
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
    const int copied = ::GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool HandleDialogMessage(MSG& message) {
    if (message.hwnd == nullptr) {
        return false;
    }
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || ::GetClassLongPtrA(root, GCW_ATOM) != kDialogClassAtom) {
        return false;
    }
    return ::IsDialogMessageA(root, &message) != FALSE;
}

// ---- templates in memory ----

DialogTemplateBuilder::DialogTemplateBuilder(std::string_view title, DWORD style, Box box,
                                             std::string_view font, WORD pointSize) {
    Put(static_cast<DWORD>(style | DS_SETFONT));
    Put(DWORD{0}); // extended style
    Put(WORD{0});  // number of controls, counted by Add
    Put(box);
    Put(WORD{0}); // no menu
    Put(WORD{0}); // the dialog class
    PutText(title);
    Put(pointSize);
    PutText(font);
}

DialogTemplateBuilder& DialogTemplateBuilder::Add(Control kind, WORD id, std::string_view text,
                                                  DWORD style, Box box) {
    // Every control starts on a DWORD boundary.
    if (words_.size() % 2 != 0) {
        Put(WORD{0});
    }
    Put(static_cast<DWORD>(style | WS_CHILD | WS_VISIBLE));
    Put(DWORD{0});
    Put(box);
    Put(id);
    Put(WORD{0xFFFF});
    Put(static_cast<WORD>(kind));
    PutText(text);
    Put(WORD{0}); // no creation data
    ++words_[4];
    return *this;
}

DialogTemplate DialogTemplateBuilder::Template() const {
    // The vector's storage comes from operator new, aligned for any DWORD.
    return DialogTemplate::FromMemory(reinterpret_cast<const DLGTEMPLATE*>(words_.data()));
}

void DialogTemplateBuilder::Put(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
}

void DialogTemplateBuilder::Put(Box box) {
    for (short value : {box.x, box.y, box.width, box.height}) {
        words_.push_back(static_cast<WORD>(value));
    }
}

void DialogTemplateBuilder::PutText(std::string_view text) {
    if (!text.empty()) {
        const int size = static_cast<int>(text.size());
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
        words_.insert(words_.end(), wide.begin(), wide.end());
    }
    words_.push_back(0);
}

} // namespace ombrevane::win32
