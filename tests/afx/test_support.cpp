#include "test_support.h"

namespace afx_test {

BEGIN_MESSAGE_MAP(GuardedDialog, CDialogEx)
    afx::OnMessage<WM_TIMER, &GuardedDialog::OnGuardTimer>(),
END_MESSAGE_MAP()

}  // namespace afx_test
