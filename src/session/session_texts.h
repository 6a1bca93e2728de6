#pragma once
// The texts the transfer session shows the operator.

#include <cstdint>
#include <string>
#include <string_view>

namespace tw::text {

inline constexpr std::string_view kCommError = "There was a problem to communicate with STB !!!\n\nPlease Retry.";
inline constexpr std::string_view kBadHeader = "Header is wrong !!!\n\nPlease retry with another S/W.";
inline constexpr std::string_view kCommProblem = "There was a problem to communicate with STB\nPlease Retry.";
inline constexpr std::string_view kInvalidSw = "Invalid S/W !!!\n\nPlease retry with another S/W.";
inline constexpr std::string_view kWriteComplete = "Write Complete!!!";
inline constexpr std::string_view kDownloadComplete = "Download Complete!!!";
inline constexpr std::string_view kGetDataNak = "GET DATA NAK";
inline constexpr std::string_view kHeaderCrcError = "HEADER CRC ERROR";
inline constexpr std::string_view kDataCrcError = "DATA CRC ERROR";
inline constexpr std::string_view kNoHddSpace = "Not Enough HDD for MP3";
inline constexpr std::string_view kPhotoError = "Photo Error. Full or Max Photo Exceeded";
inline constexpr std::string_view kWatchdog =
    "There was a problem in serial communication\nYou'd better turn off STB and Tarnwick\nAnd then re-execute "
    "both of them";
inline constexpr std::string_view kEndOfReceiving = "End of receiving";
inline constexpr std::string_view kNotBootFile = "Not Boot File!";
inline constexpr std::string_view kNotDatabaseFile = "Not Database File!";
inline constexpr std::string_view kInvalidFile = "Invalid File";
inline constexpr std::string_view kFlashRange = "FLASH : 0x7F00000 ~ 0x7FFFFFFF";
inline constexpr std::string_view kEepromRange = "E2PROM : 0x00000000 ~ 0x00003FFFF";
inline constexpr std::string_view kSizeRange = "Size : 1 ~ 2097152";
inline constexpr std::string_view kUploadNotAvailable = "Upload is not available in this mode!";
inline constexpr std::string_view kComConnected = "COM : Connected";
inline constexpr std::string_view kComNotConnected = "COM : Not Connected";
inline constexpr std::string_view kMakingPhotoError = "Making Photo Image Error";
inline constexpr std::string_view kWaitConverting = "Wait For Converting Photo to STB Photo";
inline constexpr std::string_view kWaitForAWhile = "Wait for a while";

// "Flash Writing %d th Block"
[[nodiscard]] std::string FlashWriting(int block);
// "Can't open " + path + " !!!"
[[nodiscard]] std::string CantOpen(std::string_view path);
// "Can't read " + path + " !!!": the source gave fewer bytes than announced.
[[nodiscard]] std::string CantRead(std::string_view path);
// A source whose size does not fit the request's 32-bit size field.
[[nodiscard]] std::string TooLarge(std::string_view path);
// The box said RPL_COMPLETE before it had every block.
[[nodiscard]] std::string Incomplete(std::uint64_t done, std::uint64_t total);

// File-dialog filters.
inline constexpr std::string_view kProgramFilter = "Program File|*.bin";
inline constexpr std::string_view kDatabaseFilter = "Database File|*.bin";
inline constexpr std::string_view kBootFilter = "Boot File|*.bin";
inline constexpr std::string_view kGzipProgramFilter = "Program File|*.bin;*.gz|All File|*.*||";
inline constexpr std::string_view kPhotoFilter = "PHOTO File|*.jpg";

}  // namespace tw::text
