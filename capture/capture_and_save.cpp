#include "capture/capture_and_save.h"

#include "app/layout.h"
#include "app/main_window.h"
#include "app/text.h"
#include "capture/date_time.h"
#include "capture/snapshot_bitmap.h"
#include "platform/file_bytes.h"
#include "platform/process.h"

namespace qrlogo {

void CaptureAndSave(bool newObjectHasPicture) {
    // The capture waits one second so the new picture, and the logo box, are painted before
    // they are copied; a second click during it runs a whole nested generate.
    platform::WaitProcessingEvents(1000);
    if (!MainWindowExists() || !newObjectHasPicture) return;

    // The clock is read after the wait.
    const Text fileName = TextConcat(DateTimeToText(CurrentDateTime()), Text::FromBytes(".jpg"));
    const ByteSet snapshot = CaptureWindowBitmap(WindowOfControl(k动画框1));
    if (snapshot.IsEmpty()) return;
    platform::WriteFileBytes(fileName.View(), {snapshot.Bytes()});
}

}  // namespace qrlogo
