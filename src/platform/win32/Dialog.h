#pragma once
// The one way the program makes a dialog: a data struct goes in and comes back out. One
// static dialog procedure stores the binding to that struct with the dialog on WM_INITDIALOG
// and hands every message, with the struct, to the dialog's handler; a ShowXxx(owner, data&)
// wrapper runs it. Validation and formatting belong in portable functions the handler calls.
//
//   struct NameData { std::string name; };
//   INT_PTR NameHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, NameData& data);
//   bool ShowName(HWND owner, NameData& data) {
//       return RunModalDialog(owner, DialogTemplate::FromResource("NAME"), &NameHandler, data)
//              == IDOK;
//   }

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace ombrevane::win32 {

// Where a dialog's template comes from: a resource of the program, or one built in memory.
class DialogTemplate {
public:
    // MAKEINTRESOURCEA(id) for a numbered resource.
    static DialogTemplate FromResource(const char* name);
    // The memory must stay valid while the dialog is being created.
    static DialogTemplate FromMemory(const DLGTEMPLATE* memory);

    const char* Resource() const { return resource_; }
    const DLGTEMPLATE* Memory() const { return memory_; }

private:
    const char* resource_ = nullptr;
    const DLGTEMPLATE* memory_ = nullptr;
};

// Answers one message of a dialog as a dialog procedure does (TRUE: handled), with the struct
// the dialog edits. WM_INITDIALOG is the first message it sees; its lParam is the helper's.
template <class Data>
using DialogHandler = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                  Data& data);

// Ends a modal dialog or destroys a modeless one; `result` is what its runner then answers.
void CloseDialog(HWND dialog, INT_PTR result);

// The text of a control of a dialog.
std::string DialogItemText(HWND dialog, int id);

// For the message loop: gives a modeless dialog its keyboard interface (Tab, Enter, Escape).
// True when the message was a dialog's and has been dealt with.
bool HandleDialogMessage(MSG& message);

namespace detail {

class DialogBinding {
public:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR RunModal(HWND owner, const DialogTemplate& source, DialogBinding& binding);
    static HWND CreateModeless(HWND owner, const DialogTemplate& source, DialogBinding& binding);

    HWND dialog = nullptr; // while the dialog exists
    bool modeless = false;
    INT_PTR result = 0; // what a modeless dialog was closed with

protected:
    DialogBinding() = default;
    ~DialogBinding() = default;
    DialogBinding(const DialogBinding&) = delete;
    DialogBinding& operator=(const DialogBinding&) = delete;
    virtual INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

template <class Data> class TypedDialogBinding final : public DialogBinding {
public:
    TypedDialogBinding(DialogHandler<Data> handler, Data& data) : handler_(handler), data_(data) {}

private:
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override {
        return handler_(dialog, message, wParam, lParam, data_);
    }

    DialogHandler<Data> handler_;
    Data& data_;
};

} // namespace detail

// Runs a modal dialog over `owner` and answers the result it was closed with; -1 when it could
// not be created.
template <class Data>
INT_PTR RunModalDialog(HWND owner, const DialogTemplate& source, DialogHandler<Data> handler,
                       Data& data) {
    detail::TypedDialogBinding<Data> binding(handler, data);
    return detail::DialogBinding::RunModal(owner, source, binding);
}

// A modeless dialog over `data`, which must outlive it; destroyed with this object. The
// message loop passes its messages through HandleDialogMessage.
template <class Data> class ModelessDialog {
public:
    ModelessDialog(DialogHandler<Data> handler, Data& data) : binding_(handler, data) {}
    ~ModelessDialog() { Close(); }
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    // Creates and shows the dialog unless it is open already. False when it cannot be created.
    bool Open(HWND owner, const DialogTemplate& source) {
        if (IsOpen()) {
            return true;
        }
        return detail::DialogBinding::CreateModeless(owner, source, binding_) != nullptr;
    }
    void Close() {
        if (IsOpen()) {
            CloseDialog(binding_.dialog, IDCANCEL);
        }
    }
    bool IsOpen() const { return binding_.dialog != nullptr; }
    HWND Handle() const { return binding_.dialog; }
    // What the dialog was closed with last.
    INT_PTR Result() const { return binding_.result; }

private:
    detail::TypedDialogBinding<Data> binding_;
};

// A dialog template laid out in code, in dialog units, with the given font.
class DialogTemplateBuilder {
public:
    enum class Control : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082 };
    struct Box {
        short x = 0;
        short y = 0;
        short width = 0;
        short height = 0;
    };

    DialogTemplateBuilder(std::string_view title, DWORD style, Box box,
                          std::string_view font = "MS Shell Dlg", WORD pointSize = 8);
    // WS_CHILD | WS_VISIBLE are added to `style`.
    DialogTemplateBuilder& Add(Control kind, WORD id, std::string_view text, DWORD style, Box box);
    // Valid while the builder lives and nothing is added.
    DialogTemplate Template() const;

private:
    void Put(DWORD value);
    void Put(WORD value) { words_.push_back(value); }
    void Put(Box box);
    void PutText(std::string_view text);

    std::vector<WORD> words_;
};

} // namespace ombrevane::win32
