// The texts of the result codes.

#include "platform/imaging/ImagingErrors.h"

namespace platform::imaging {

QString errorText(int code)
{
    const char *text = nullptr;
    switch (code) {
    case 1: text = "Function successful."; break;
    case 0: text = "Function not successful."; break;
    case 2: text = "Function successful with an abort request."; break;
    case 3: text = "Function successful. Delete file before quiting."; break;
    case 4: text = "Function successful. Retry doing the failed op."; break;
    case 5: text = "Function successful. Ignore this marker."; break;
    case 6: text = "Function successful. Ignore this marker and all remaining markers "; break;
    case 7: text = "Function successful. Ignore this marker but copy all remaining markers."; break;
    case -1: case -3: text = "Not enough memory available."; break;
    case -2: text = "Invalid bitmap handle."; break;
    case -4: text = "Error seeking to position."; break;
    case -5: text = "Error writing file."; break;
    case -6: text = "File not present = - abort."; break;
    case -7: text = "Error reading file."; break;
    case -8: text = "Invalid filename specified."; break;
    case -9: text = "Invalid file format."; break;
    case -10: text = "File not found."; break;
    case -11: text = "Invalid width/height."; break;
    case -12: text = "Image format recognized, but sub= -type not supported."; break;
    case -13: text = "Invalid parameter passed."; break;
    case -14: text = "Not able to open file."; break;
    case -15: text = "Unknown compression format."; break;
    case -16: text = "Feature not supported."; break;
    // -999 stands for -789 in the control's reports: the same text.
    case -789: case -999: text = "Invalid structure size."; break;
    default: break;
    }
    return text ? QString::fromLatin1(text) : QStringLiteral("Undefined Error: %1").arg(code);
}

} // namespace platform::imaging
