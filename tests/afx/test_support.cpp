#include "test_support.h"

namespace afx_test {

IMPLEMENT_MESSAGE_MAP(GuardedDialog, CDialogEx,
                      afx::OnMessage<WM_TIMER, &GuardedDialog::OnGuardTimer>());

}  // namespace afx_test
