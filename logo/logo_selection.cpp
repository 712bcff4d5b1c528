#include "app/handlers.h"
#include "app/logo_path.h"
#include "app/main_window.h"
#include "logo/common_dlg.h"
#include "logo/pic_box.h"
#include "platform/file_bytes.h"

namespace qrlogo {

void OnAddLogoClicked() {
    // A cancel is taken like a choice of the previous path: that file is read again, so the
    // picture always shows the file as it is now. The box's visibility is left alone; the next
    // generate click decides it.
    ShowFileOpenDialog(通用对话框1());
    LogoPath = 通用对话框1().FileName();
    const std::vector<std::uint8_t> logoBytes = platform::ReadFileBytes(LogoPath.View());
    图片框1().SetPicture(ByteSet::FromBytes(logoBytes));
}

}  // namespace qrlogo
