// The callback between layered buttons and the layered window that draws them.
#pragma once

class CLayeredButton;

class IRenderListener {
  public:
    virtual ~IRenderListener() = default;
    // The image that `sender` shows has changed: compose and push the layer again. Called on the
    // user-interface thread, from inside the button's message handling.
    virtual void OnRender(CLayeredButton* sender) = 0;
};
