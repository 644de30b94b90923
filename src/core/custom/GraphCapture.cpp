#include "GraphCapture.h"

#include <strings.h>

std::string captureFileName(const std::string& chosen)
{
    const auto slash = chosen.find_last_of('/');
    const auto dot = chosen.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return chosen + ".bmp";
    return chosen;
}

CaptureFormat captureFormatFor(const std::string& fileName)
{
    const std::string name = captureFileName(fileName);
    const std::string extension = name.substr(name.find_last_of('.'));
    return strcasecmp(extension.c_str(), ".png") == 0 ? CaptureFormat::Png : CaptureFormat::Bmp;
}
