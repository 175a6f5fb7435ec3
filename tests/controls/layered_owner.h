// A layered window that draws its layered buttons as the launcher does: on every change it
// composes its ground and each shown button into a 32-bit premultiplied bitmap and pushes it
// with UpdateLayeredWindow. It records what it was told and what it pushed.
#pragma once

#include <afx/afx.h>

#include <vector>

#include "controls/layered_button.h"
#include "controls_test_support.h"

namespace controls_test {

class LayeredOwner : public CWnd, public IRenderListener {
  public:
    // A transparent frame of kFrame pixels around an opaque ground of `ground` (0xAARRGGBB).
    static constexpr int kFrame = 6;
    static constexpr std::uint32_t kGround = 0xFF5A1414;

    LayeredOwner(POINT at, SIZE size, std::uint32_t ground = kGround);
    ~LayeredOwner() override;

    void Add(CLayeredButton* button);
    // Forgets every button and what was recorded.
    void Reset();
    void OnRender(CLayeredButton* sender) override;
    // Composes and pushes the layer; false when UpdateLayeredWindow failed.
    bool Compose();

    // What the owner would push with `button` showing picture `id` and nothing else changed.
    Pixels With(const CLayeredButton& button, UINT id);
    // The button's rectangle in the owner's client coordinates.
    static RECT RectOf(const CLayeredButton& button);

    int renders = 0;
    std::vector<CLayeredButton*> senders;
    Pixels pushed;   // the last composition
    int clicks = 0;  // BN_CLICKED from the button with id kButtonId

    static constexpr UINT kButtonId = 2001;

  protected:
    // The layer under the buttons.
    virtual void DrawGround(Gdiplus::Graphics& graphics);
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()

  private:
    SIZE m_size;
    std::uint32_t m_ground;
    std::vector<CLayeredButton*> m_buttons;
};

}  // namespace controls_test
