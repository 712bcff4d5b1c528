#include "app/handlers.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/text.h"
#include "platform/widgets.h"

namespace qrlogo {

void OnMainWindowCreated() {
    const Text caption = ByteSetToText(ByteSet::FromBytes(WindowCaption));
    MainWindow().SetCaption(caption.View());
}

}  // namespace qrlogo
