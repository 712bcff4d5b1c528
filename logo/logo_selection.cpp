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
    // The file's bytes are held once: the read buffer goes as soon as the byte set has them,
    // and the box keeps that byte set itself.
    ByteSet logoBytes = ByteSet::FromBytes(platform::ReadFileBytes(LogoPath.View()));
    图片框1().SetPicture(std::move(logoBytes));
}

}  // namespace qrlogo
