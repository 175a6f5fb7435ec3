// Typed message-map entries. Each maker checks the handler's signature at compile time and
// produces an entry whose invoker decodes wParam/lParam into the handler's arguments.
//
//   afx::On<WM_SIZE, &C::OnSize>()            void OnSize(UINT type, int cx, int cy)
//   afx::On<WM_CTLCOLOR, &C::OnCtlColor>()    HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor)
//   afx::OnMessage<MSG, &C::OnMsg>()          LRESULT OnMsg(WPARAM, LPARAM)
//   afx::OnBnClicked<ID, &C::OnButton>()      void OnButton()
//   afx::OnControl<CODE, ID, &C::OnNotify>()  void OnNotify()
//   afx::OnCtlColorReflect<&C::CtlColor>()    HBRUSH CtlColor(CDC*, UINT nCtlColor)
//
// Handlers for On<>: WM_PAINT void(); WM_QUERYDRAGICON HCURSOR(); WM_LBUTTONDOWN, WM_LBUTTONUP,
// WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MOUSEHOVER void(UINT flags,
// CPoint); WM_MOUSELEAVE void(); WM_MOVE void(int x, int y); WM_SIZE void(UINT, int, int);
// WM_ERASEBKGND BOOL(CDC*); WM_CTLCOLOR (every WM_CTLCOLOR* message) HBRUSH(CDC*, CWnd*, UINT);
// WM_HOTKEY void(UINT id, UINT modifiers, UINT vk); WM_ENABLE void(BOOL); WM_KEYDOWN
// void(UINT vk, UINT repeat, UINT flags).
#pragma once

#include <windows.h>

#include <type_traits>

#include "afx/dc.h"
#include "afx/geometry.h"
#include "afx/message_map.h"
#include "afx/wnd.h"

#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

namespace afx {
namespace detail {

template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
};

template <auto Fn>
using ClassOf = typename MemberOf<decltype(Fn)>::Class;

template <auto Fn, class Expected>
constexpr void CheckSignature() {
    static_assert(std::is_same_v<typename MemberOf<decltype(Fn)>::Signature, Expected>,
                  "this message's handler has another signature (see afx/message_entries.h)");
}

template <auto Fn>
ClassOf<Fn>* Self(CWnd* target) {
    return static_cast<ClassOf<Fn>*>(target);
}

// Signed client coordinates packed in lParam.
inline int XOf(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
inline int YOf(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }
inline CPoint PointOf(LPARAM lParam) { return CPoint(XOf(lParam), YOf(lParam)); }

// How each supported message is decoded; specialised per message below.
template <UINT Msg>
struct Decoder;

template <>
struct Decoder<WM_PAINT> {
    using Signature = void();
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM, LPARAM) {
        (Self<Fn>(t)->*Fn)();
        return 0;
    }
};

template <>
struct Decoder<WM_MOUSELEAVE> : Decoder<WM_PAINT> {};

template <>
struct Decoder<WM_QUERYDRAGICON> {
    using Signature = HCURSOR();
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM, LPARAM) {
        return reinterpret_cast<LRESULT>((Self<Fn>(t)->*Fn)());
    }
};

struct MouseDecoder {
    using Signature = void(UINT, CPoint);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM wParam, LPARAM lParam) {
        (Self<Fn>(t)->*Fn)(static_cast<UINT>(wParam), PointOf(lParam));
        return 0;
    }
};
template <>
struct Decoder<WM_LBUTTONDOWN> : MouseDecoder {};
template <>
struct Decoder<WM_LBUTTONUP> : MouseDecoder {};
template <>
struct Decoder<WM_LBUTTONDBLCLK> : MouseDecoder {};
template <>
struct Decoder<WM_RBUTTONDOWN> : MouseDecoder {};
template <>
struct Decoder<WM_RBUTTONUP> : MouseDecoder {};
template <>
struct Decoder<WM_MOUSEMOVE> : MouseDecoder {};
template <>
struct Decoder<WM_MOUSEHOVER> : MouseDecoder {};

template <>
struct Decoder<WM_MOVE> {
    using Signature = void(int, int);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM, LPARAM lParam) {
        (Self<Fn>(t)->*Fn)(XOf(lParam), YOf(lParam));
        return 0;
    }
};

template <>
struct Decoder<WM_SIZE> {
    using Signature = void(UINT, int, int);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM wParam, LPARAM lParam) {
        (Self<Fn>(t)->*Fn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
};

template <>
struct Decoder<WM_ERASEBKGND> {
    using Signature = BOOL(CDC*);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM wParam, LPARAM) {
        CDC dc(reinterpret_cast<HDC>(wParam));
        return (Self<Fn>(t)->*Fn)(&dc);
    }
};

template <>
struct Decoder<WM_CTLCOLOR> {
    static constexpr UINT first = WM_CTLCOLORMSGBOX;
    static constexpr UINT last = WM_CTLCOLORSTATIC;
    using Signature = HBRUSH(CDC*, CWnd*, UINT);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT message, WPARAM wParam, LPARAM lParam) {
        CDC dc(reinterpret_cast<HDC>(wParam));
        CWnd* control = CWnd::FromHandle(reinterpret_cast<HWND>(lParam));
        return reinterpret_cast<LRESULT>(
            (Self<Fn>(t)->*Fn)(&dc, control, message - WM_CTLCOLORMSGBOX));
    }
};

template <>
struct Decoder<WM_HOTKEY> {
    using Signature = void(UINT, UINT, UINT);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM wParam, LPARAM lParam) {
        (Self<Fn>(t)->*Fn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
};

template <>
struct Decoder<WM_ENABLE> {
    using Signature = void(BOOL);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM wParam, LPARAM) {
        (Self<Fn>(t)->*Fn)(static_cast<BOOL>(wParam));
        return 0;
    }
};

template <>
struct Decoder<WM_KEYDOWN> {
    using Signature = void(UINT, UINT, UINT);
    template <auto Fn>
    static LRESULT Invoke(CWnd* t, UINT, WPARAM wParam, LPARAM lParam) {
        (Self<Fn>(t)->*Fn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
};

template <class D>
concept HasRange = requires {
    D::first;
};

template <auto Fn>
LRESULT InvokeRaw(CWnd* t, UINT, WPARAM wParam, LPARAM lParam) {
    return (Self<Fn>(t)->*Fn)(wParam, lParam);
}

template <auto Fn>
LRESULT InvokeCommand(CWnd* t, UINT, WPARAM, LPARAM) {
    (Self<Fn>(t)->*Fn)();
    return 0;
}

template <auto Fn>
LRESULT InvokeReflectedCtlColor(CWnd* t, UINT message, WPARAM wParam, LPARAM) {
    CDC dc(reinterpret_cast<HDC>(wParam));
    return reinterpret_cast<LRESULT>((Self<Fn>(t)->*Fn)(&dc, message - WM_CTLCOLORMSGBOX));
}

}  // namespace detail

// A window message with its decoded arguments.
template <UINT Msg, auto Fn>
constexpr MessageMapEntry On() {
    using D = detail::Decoder<Msg>;
    detail::CheckSignature<Fn, typename D::Signature>();
    if constexpr (detail::HasRange<D>) {
        return {EntryKind::Message, D::first, D::last, 0, 0, &D::template Invoke<Fn>};
    } else {
        return {EntryKind::Message, Msg, Msg, 0, 0, &D::template Invoke<Fn>};
    }
}

// Any window message, undecoded: LRESULT handler(WPARAM, LPARAM).
template <UINT Msg, auto Fn>
constexpr MessageMapEntry OnMessage() {
    detail::CheckSignature<Fn, LRESULT(WPARAM, LPARAM)>();
    return {EntryKind::Message, Msg, Msg, 0, 0, &detail::InvokeRaw<Fn>};
}

// WM_COMMAND with notification Code from the control with id Id: void handler().
template <UINT Code, UINT Id, auto Fn>
constexpr MessageMapEntry OnControl() {
    detail::CheckSignature<Fn, void()>();
    return {EntryKind::Command, WM_COMMAND, WM_COMMAND, Code, Id, &detail::InvokeCommand<Fn>};
}

template <UINT Id, auto Fn>
constexpr MessageMapEntry OnBnClicked() {
    return OnControl<BN_CLICKED, Id, Fn>();
}

// A command (menu, accelerator, or a button's click, which shares code 0).
template <UINT Id, auto Fn>
constexpr MessageMapEntry OnCommand() {
    return OnControl<0, Id, Fn>();
}

// In a control's map: the colour request its parent received for it.
template <auto Fn>
constexpr MessageMapEntry OnCtlColorReflect() {
    detail::CheckSignature<Fn, HBRUSH(CDC*, UINT)>();
    return {EntryKind::Reflected,
            WM_CTLCOLORMSGBOX,
            WM_CTLCOLORSTATIC,
            0,
            0,
            &detail::InvokeReflectedCtlColor<Fn>};
}

}  // namespace afx
