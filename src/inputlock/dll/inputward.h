/* inputward.dll: watches keyboard and mouse on the desktop of the thread that switches the
 * watching on, and posts what it recognises to that process's window of class
 * "TTileSwitchMainForm":
 *   2230  digit 1 to 5 of the main row with exactly one of Alt, Ctrl, Shift; wParam digit - 1,
 *         lParam 0 Alt, 1 Ctrl, 2 Shift. The key still reaches the focused program.
 *   2233  a hot key of SetHotKey, modifiers matched exactly; wParam the slot. The key (and its
 *         release) is kept from the focused program.
 *   2231  both mouse buttons pressed together (the second goes down within 150 ms of the first,
 *         while it is held), posted at the first release; the second button's press and
 *         release are kept from the focused program.
 *   2232  the same, but with both buttons held for a second or more: asks for the timed
 *         suspension of the hot keys.
 * Keys are reported on the press only, never for auto-repeat, also when a hot key held on
 * repeats on the desktop it switched to. While suspended there are no 2230 and 2233 reports;
 * 2231 and 2232 stay. 2235 and 2238 are never posted.
 *
 * All functions use __stdcall and are exported by their plain names through inputward.def, so
 * a 32-bit build exports the same names. Truth values are 32-bit: true is passed as 1 or -1 and
 * tested as non-zero. The hooks run on a thread of the library's own, on the desktop of the
 * thread that switches the watching on; switching both off ends that thread. */
#ifndef OMBREVANE_INPUTWARD_H
#define OMBREVANE_INPUTWARD_H

#include <stdint.h>

#ifdef _WIN32
#define INPUTWARD_CALL __stdcall
#else
#define INPUTWARD_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the state all instances share and ends a suspension left behind. Called by the
 * instance on "Default" when it starts. Returns non-zero. */
typedef int32_t(INPUTWARD_CALL* InputWardInitialFn)(void);
/* Non-zero while keyboard (mouse) watching is on in this process: the hook is set and its
 * thread runs. */
typedef int32_t(INPUTWARD_CALL* InputWardKeyboardEnableFn)(void);
/* Switches keyboard (mouse) watching on or off; non-zero when the request was carried out. */
typedef int32_t(INPUTWARD_CALL* InputWardSetKeyboardFn)(int32_t on);
typedef int32_t(INPUTWARD_CALL* InputWardMouseEnableFn)(void);
typedef int32_t(INPUTWARD_CALL* InputWardSetMouseFn)(int32_t on);
/* Both-button reports on or off, for every instance. Returns non-zero. */
typedef int32_t(INPUTWARD_CALL* InputWardEnableLRMouseButtonFn)(int32_t on);
/* Slot 0 to 2; key a virtual key (0 clears the slot); modifiers Alt 1, Ctrl 2, Shift 4.
 * Returns 0 for a slot out of range. */
typedef int32_t(INPUTWARD_CALL* InputWardSetHotKeyFn)(int32_t slot, uint16_t key,
                                                      uint16_t modifiers);
/* Non-zero suspends hot-key and digit-key reports on every desktop, 0 resumes them. */
typedef int32_t(INPUTWARD_CALL* InputWardLockShortcutKeyFn)(int32_t on);
typedef int32_t(INPUTWARD_CALL* InputWardIsShortcutKeyLockFn)(void);
/* Kept for callers that expect it; does nothing and returns 0. */
typedef int32_t(INPUTWARD_CALL* InputWardEnablePasswordFn)(int32_t a, int32_t b);

#ifdef INPUTWARD_BUILDING_DLL
int32_t INPUTWARD_CALL Initial(void);
int32_t INPUTWARD_CALL KeyboardEnable(void);
int32_t INPUTWARD_CALL SetKeyboard(int32_t on);
int32_t INPUTWARD_CALL MouseEnable(void);
int32_t INPUTWARD_CALL SetMouse(int32_t on);
int32_t INPUTWARD_CALL EnableLRMouseButton(int32_t on);
int32_t INPUTWARD_CALL SetHotKey(int32_t slot, uint16_t key, uint16_t modifiers);
int32_t INPUTWARD_CALL LockShortcutKey(int32_t on);
int32_t INPUTWARD_CALL IsShortcutKeyLock(void);
int32_t INPUTWARD_CALL EnablePassword(int32_t a, int32_t b);
#endif

#ifdef __cplusplus
}
#endif

#endif
