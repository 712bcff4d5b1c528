#include <cstdint>

#include "app/handlers.h"
#include "app/logo_path.h"
#include "app/main_window.h"
#include "app/text.h"
#include "capture/capture_and_save.h"
#include "logo/pic_box.h"
#include "platform/fetch_url_body.h"
#include "platform/widgets.h"
#include "qr/cartoon_box.h"
#include "qr/request.h"

namespace qrlogo {

void OnGenerateClicked() {
    // Only the path decides: a chosen file that could not be read still shows the box.
    图片框1().SetVisible(TextCompare(LogoPath, Text::FromBytes("")) != 0);

    const std::int32_t id = 动画框1().AddPictureObject(nullptr, 0, 0, true);
    if (id == -1) return;

    const Text url = BuildRequestUrl(Text::FromBytes(编辑框1().Content()));
    // The fetch holds the GUI thread: clicks made meanwhile wait in the queue and are handled
    // during the capture's wait.
    const ByteSet picture = ByteSet::FromBytes(platform::FetchUrlBody(url.View()));
    动画框1().SetObjectPicture(id, picture);

    const PictureObject* object = 动画框1().FindObject(id);
    CaptureAndSave(object != nullptr && object->picture != nullptr);
}

}  // namespace qrlogo
