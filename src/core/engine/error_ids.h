#pragma once
// The fixed error messages that the error box shows, by string id.

#include <cstdint>
#include <string>

namespace veltrim {

inline constexpr uint32_t kErrCreateDirectory = 61204;
inline constexpr uint32_t kErrRemoveDirectory = 61205;
inline constexpr uint32_t kErrDeleteFile = 61206;
inline constexpr uint32_t kErrRenameFile = 61207;
inline constexpr uint32_t kErrDownloadFile = 61208;
inline constexpr uint32_t kErrTransferData = 61209;        // a break while moving data
inline constexpr uint32_t kErrTransferOpen = 61210;        // a file could not be opened
inline constexpr uint32_t kErrTransferConnection = 61211;  // the second connection failed
inline constexpr uint32_t kErrUploadDirectory = 61212;

// The message text of an id above; empty for any other id.
std::string ErrorMessageText(uint32_t id);

}  // namespace veltrim
