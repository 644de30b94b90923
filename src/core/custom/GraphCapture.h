#pragma once

#include <string>

// The graph window's Capture and Save: its dialog and the file kinds it writes.
namespace graph_capture_texts {
inline constexpr const char* DialogTitle = "Capture and save report";
inline constexpr const char* Filter = "32-bit Bitmap (*.bmp);;PNG Image (*.png);;All Files (*.*)";
} // namespace graph_capture_texts

enum class CaptureFormat { Bmp, Png };

// A name without an extension gets ".bmp"; ".png" in any case writes PNG, anything else a bitmap.
std::string captureFileName(const std::string& chosen);
CaptureFormat captureFormatFor(const std::string& fileName);
