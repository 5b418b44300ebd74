// The receiver's two conversions between body bytes and text, in the system's ANSI code page.
#include "system_init.h"

namespace upload {

Text SystemInit::BinToStr(ByteSpan bytes) { return AnsiCodePage::system().decode(bytes); }

Variant::Bytes SystemInit::StrToBin(TextView text) { return AnsiCodePage::system().encode(text); }

}  // namespace upload
