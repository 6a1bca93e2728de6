#include "boxsim/box_loader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "link/loader_crc.h"

namespace tw {

namespace {

std::filesystem::path DiskRootFor(const BoxOptions& options) {
  if (!options.diskDir.empty()) {
    return options.diskDir;
  }
  return options.stateDir.empty() ? std::filesystem::path{} : options.stateDir / "disk";
}

bool IsCommand(std::uint8_t code) { return CommandName(code) != "?"; }

bool ModelMatches(const std::uint8_t* field, const std::string& name) {
  std::array<std::uint8_t, kModelNameSize> padded{};
  std::copy_n(name.begin(), std::min(name.size(), padded.size()), padded.begin());
  return std::equal(padded.begin(), padded.end(), field);
}

std::string Describe(std::string_view what, std::uint64_t a, std::uint64_t b) {
  return std::string(what) + " " + std::to_string(a) + "/" + std::to_string(b);
}

}  // namespace

BoxLoader::BoxLoader(BoxOptions options, BoxLine& line)
    : m_options(std::move(options)),
      m_line(line),
      m_trace(m_options.trace),
      m_sender(line, m_options.faults, m_options.seed, m_trace),
      m_disk(DiskRootFor(m_options), m_options.faults.diskFull ? 0 : m_options.diskSize,
             m_options.faults.photosFull ? 0 : m_options.maxPhotos),
      m_pendingBaud(m_options.idleBaud) {
  if (!m_options.stateDir.empty() && !m_memory.Load(m_options.stateDir)) {
    m_stateProblem = "unreadable memory state in " + m_options.stateDir.string() + "; starting erased";
    m_trace.Note(m_stateProblem);
  }
}

void BoxLoader::Feed(const std::uint8_t* data, std::size_t size) {
  m_input.insert(m_input.end(), data, data + size);
  while (Step()) {
  }
  m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(m_pos));
  m_pos = 0;
  m_sender.Flush();
}

bool BoxLoader::Step() {
  switch (m_state) {
    case State::Idle:
      return StepIdle();
    case State::RequestPayload: {
      if (Available() < kRequestPayloadSize) {
        return false;
      }
      std::array<std::uint8_t, kRequestPayloadSize> payload{};
      std::copy_n(Next(), payload.size(), payload.begin());
      Skip(payload.size());
      OnRequest(payload.data());
      return true;
    }
    case State::BlockPayload: {
      const std::size_t length = BlockLength();
      if (Available() < length) {
        return false;
      }
      std::array<std::uint8_t, kBlockSize> payload{};
      std::copy_n(Next(), length, payload.begin());
      Skip(length);
      OnBlock(payload.data(), length);
      return true;
    }
    default:
      return StepHeader();
  }
}

bool BoxLoader::StepIdle() {
  const std::uint8_t* end = m_input.data() + m_input.size();
  const std::uint8_t* found = std::search(Next(), end, kHandshake.begin(), kHandshake.end());
  if (found != end) {
    Discard(static_cast<std::size_t>(found - Next()));
    Skip(kHandshake.size());
    OnHandshake();
    return true;
  }
  // Keep a tail that may be the start of a handshake still on its way.
  std::size_t keep = std::min(Available(), kHandshake.size() - 1);
  while (keep > 0 && !std::equal(end - keep, end, kHandshake.begin())) {
    --keep;
  }
  Discard(Available() - keep);
  return false;
}

bool BoxLoader::StepHeader() {
  const std::size_t available = Available();
  if (available == 0) {
    return false;
  }
  const std::uint8_t* next = Next();
  if (next[0] == kHandshake[0]) {
    const std::size_t n = std::min(available, kHandshake.size());
    if (std::equal(next, next + n, kHandshake.begin())) {
      if (n < kHandshake.size()) {
        return false;
      }
      Skip(n);
      OnHandshake();
      return true;
    }
  }
  if (next[0] == kHeaderMagic) {
    if (available < kHeaderSize) {
      return false;
    }
    if (IsCommand(next[2])) {
      CommandHeader header{};
      std::copy_n(next, header.size(), header.begin());
      Skip(header.size());
      OnHeader(header);
      return true;
    }
  }
  Discard(1);  // resynchronise on the next byte
  return true;
}

void BoxLoader::Skip(std::size_t count) {
  if (m_skipped > 0) {
    m_trace.Note("skipped " + std::to_string(m_skipped) + " stray bytes");
    m_skipped = 0;
  }
  m_pos += count;
}

void BoxLoader::Discard(std::size_t count) {
  m_skipped += count;
  m_pos += count;
}

void BoxLoader::OnHandshake() {
  m_trace.Handshake();
  Reset();
  if (m_options.faults.silent) {
    m_trace.Note("silent: handshake not answered");
    return;
  }
  m_sender.Reply(rpl::kHello);
  m_state = State::Greeted;
}

void BoxLoader::OnHeader(const CommandHeader& header) {
  const std::uint8_t code = header[2];
  const bool expected =
      (code == cmd::kSetSpeed && (m_state == State::Greeted || m_state == State::SpeedAcked)) ||
      (code == cmd::kSpeedConfirm && m_state == State::SpeedAcked) ||
      ((code == cmd::kDownloadRequest || code == cmd::kUploadRequest) && m_state == State::AwaitRequest) ||
      (code == cmd::kDataBlock && m_state == State::AwaitBlock) ||
      (code == cmd::kUploadAck && m_state == State::AwaitUploadAck);
  if (!expected) {
    m_trace.Command(header, "(not expected now, ignored)");
    return;
  }
  m_header = header;
  switch (code) {
    case cmd::kSetSpeed:
      OnSetSpeed(header);
      break;
    case cmd::kSpeedConfirm:
      OnSpeedConfirm();
      break;
    case cmd::kDownloadRequest:
    case cmd::kUploadRequest:
      m_trace.Command(header, "");
      m_state = State::RequestPayload;
      break;
    case cmd::kDataBlock:
      m_state = State::BlockPayload;
      break;
    default:
      OnUploadAck();
      break;
  }
}

void BoxLoader::OnSetSpeed(const CommandHeader& header) {
  const std::size_t index = header[7];
  if (index >= kSpeedTable.size()) {
    m_trace.Command(header, "(no such speed)");
    m_sender.Reply(rpl::kCommError);
    return;
  }
  m_trace.Command(header, "(" + std::to_string(kSpeedTable[index]) + " baud)");
  m_pendingBaud = kSpeedTable[index];
  m_sender.Reply(rpl::kSpeedAck);
  m_state = State::SpeedAcked;
}

void BoxLoader::OnSpeedConfirm() {
  m_trace.Command(m_header, "");
  m_sender.Flush();
  m_line.SetBaud(m_pendingBaud);
  // The PC reopens its port meanwhile; a reply sent at once could be purged with the old port.
  if (m_options.settle.count() > 0) {
    m_line.Pause(m_options.settle);
  }
  m_sender.Reply(rpl::kGetRequest);
  m_state = State::AwaitRequest;
}

void BoxLoader::OnRequest(const std::uint8_t* payload) {
  const bool download = m_header[2] == cmd::kDownloadRequest;
  if (LoaderCrc(payload, kRequestPayloadSize) != GetBigEndian32(m_header.data() + 3)) {
    m_trace.Note("request CRC does not match; waiting for the request again");
    m_sender.Reply(rpl::kHeaderCrcError);
    m_state = State::AwaitRequest;
    return;
  }
  const int target = payload[kRequestTargetOffset];
  const std::uint32_t address = GetBigEndian32(payload + kRequestAddressOffset);
  const std::uint32_t size = GetBigEndian32(payload + kRequestSizeOffset);
  if (target < 1 || target > kModeCount) {
    m_trace.Note("unknown target " + std::to_string(target));
    EndSession(download ? rpl::kBadHeader : rpl::kGetDataNak);
    return;
  }
  const auto mode = static_cast<Mode>(target - 1);
  m_trace.Request(download, mode, address, size,
                  std::string_view(reinterpret_cast<const char*>(payload),
                                   std::find(payload, payload + kModelNameSize, 0) - payload));
  if (download) {
    StartDownload(mode, address, size, payload);
  } else {
    StartUpload(mode, address, size);
  }
}

std::optional<std::uint8_t> BoxLoader::RefuseDownload(Mode mode, std::uint32_t address, std::uint32_t size,
                                                      const std::uint8_t* model) const {
  if ((mode == Mode::Program || mode == Mode::GzipProgram) && !m_options.models.empty() &&
      std::none_of(m_options.models.begin(), m_options.models.end(),
                   [model](const std::string& name) { return ModelMatches(model, name); })) {
    return rpl::kInvalidSw;
  }
  if (IsMedia(mode)) {
    return size < kMediaHeaderSize ? std::optional(rpl::kBadHeader) : std::nullopt;
  }
  if (mode == Mode::Boot && size != kBootSize) {
    return rpl::kBadHeader;
  }
  const SparseMemory* area = m_memory.RegionFor(mode);
  const std::uint64_t start = BoxMemory::IsAddressed(mode) ? address : area->Base();
  return area->Contains(start, size) ? std::nullopt : std::optional(rpl::kBadHeader);
}

void BoxLoader::StartDownload(Mode mode, std::uint32_t address, std::uint32_t size, const std::uint8_t* model) {
  if (const auto refusal = RefuseDownload(mode, address, size, model)) {
    m_trace.Note("download refused");
    EndSession(*refusal);
    return;
  }
  m_download = Download{};
  m_download.mode = mode;
  m_download.size = size;
  if (const SparseMemory* area = m_memory.RegionFor(mode)) {
    m_download.address = BoxMemory::IsAddressed(mode) ? address : area->Base();
  }
  m_sender.Reply(rpl::kSendData);
  m_state = State::AwaitBlock;
}

std::size_t BoxLoader::BlockLength() const {
  return std::min<std::size_t>(m_download.size - m_download.received, kBlockSize);
}

bool BoxLoader::SequenceMatches(std::uint8_t sequence) const {
  // New blocks carry the counter modulo 255; a resend carries the counter itself.
  const std::uint8_t counter = m_download.counter;
  const auto expected = static_cast<std::uint8_t>(m_download.resendAsked ? counter : counter % 255);
  return sequence == expected;
}

bool BoxLoader::TakenAsCorrupted(const std::uint8_t* payload, std::size_t size, unsigned block) const {
  const unsigned every = m_options.faults.corruptEvery;
  const bool injected = every > 0 && block % every == 0 && !m_download.resendAsked;
  return injected || LoaderCrc(payload, size) != GetBigEndian32(m_header.data() + 3);
}

void BoxLoader::OnBlock(const std::uint8_t* payload, std::size_t size) {
  const auto block = static_cast<unsigned>(m_download.received / kBlockSize + 1);
  const bool firstArrival = !m_download.resendAsked;
  m_trace.Command(m_header, Describe("block", block, (m_download.size + kBlockSize - 1) / kBlockSize) + ", " +
                                std::to_string(size) + " bytes" + (firstArrival ? "" : " (resent)"));
  if (IsSequenced(m_download.mode)) {
    if (!SequenceMatches(m_header[1])) {
      m_trace.Note("sequence number out of step; the transfer cannot be trusted");
      EndSession(rpl::kBlockFailed);
      return;
    }
    if (firstArrival) {
      ++m_download.counter;
    }
  }
  if (firstArrival) {
    Inject(block);
  }
  if (m_options.faults.failAfterBlocks && block > *m_options.faults.failAfterBlocks) {
    m_trace.Note("fault: block failed");
    EndSession(rpl::kBlockFailed);
    return;
  }
  if (TakenAsCorrupted(payload, size, block)) {
    m_sender.Reply(rpl::kDataCrcError);
    m_sender.Reply(rpl::kBlockResend);
    m_download.resendAsked = true;
    m_state = State::AwaitBlock;
    return;
  }
  m_download.resendAsked = false;
  if (!Store(payload, size, block)) {
    return;
  }
  m_download.received += static_cast<std::uint32_t>(size);
  const unsigned every = m_options.flashReportEvery;
  if (WritesFlash(m_download.mode) && every > 0 && block % every == 0) {
    m_sender.Reply(rpl::kFlashWriting, static_cast<std::uint8_t>(block & 0xFF));
  }
  if (m_download.received == m_download.size) {
    FinishDownload();
    return;
  }
  m_sender.Reply(rpl::kBlockOk);
  m_state = State::AwaitBlock;
}

bool BoxLoader::Store(const std::uint8_t* payload, std::size_t size, unsigned block) {
  if (!IsMedia(m_download.mode)) {
    StoreInMemory(payload, size);
    return true;
  }
  if (block == 1) {
    return StoreMediaRecord(payload);
  }
  if (!m_disk.Append(payload, size)) {
    m_trace.Note("disk write failed");
    EndSession(rpl::kBlockFailed);
    return false;
  }
  return true;
}

// A worn memory cell: the block is acknowledged, but one byte of it keeps the wrong value.
void BoxLoader::StoreInMemory(const std::uint8_t* payload, std::size_t size) {
  std::vector<std::uint8_t> bytes(payload, payload + size);
  const std::optional<std::uint32_t> flip = m_options.faults.flipByte;
  if (flip && *flip >= m_download.received && *flip - m_download.received < size) {
    m_trace.Note("fault: byte " + std::to_string(*flip) + " stored inverted");
    bytes[*flip - m_download.received] ^= 0xFF;
  }
  m_memory.RegionFor(m_download.mode)->Write(m_download.address + m_download.received, bytes.data(), size);
}

bool BoxLoader::StoreMediaRecord(const std::uint8_t* record) {
  const Mode mode = m_download.mode;
  const auto parsed = MediaHeaderRecord::Parse(record);
  const MediaContentType type = mode == Mode::Mp3 ? MediaContentType::Mp3 : MediaContentType::Photo;
  if (!parsed || parsed->ContentType() != type || parsed->Length() != m_download.size - kMediaHeaderSize) {
    m_trace.Note("media header record does not fit the request");
    EndSession(rpl::kBadHeader);
    return false;
  }
  m_trace.Note("media \"" + std::string(parsed->Name()) + "\" " + std::to_string(parsed->Length()) + " bytes, " +
               std::to_string(parsed->Duration()) + " s");
  if (const auto refusal = m_disk.Admit(mode, *parsed)) {
    m_trace.Note(*refusal == rpl::kNoHddSpace ? Describe("disk full: used", m_disk.UsedBytes(), m_options.diskSize)
                                              : Describe("photo limit:", m_disk.PhotoCount(), m_options.maxPhotos));
    EndSession(*refusal);
    return false;
  }
  if (!m_disk.Begin(mode, *parsed)) {
    m_trace.Note("cannot create " + m_disk.PathFor(mode, *parsed).string());
    EndSession(rpl::kBlockFailed);
    return false;
  }
  return true;
}

void BoxLoader::FinishDownload() {
  const Mode mode = m_download.mode;
  if (IsMedia(mode)) {
    if (!m_disk.Commit()) {
      m_trace.Note("disk write failed");
      EndSession(rpl::kBlockFailed);
      return;
    }
  } else {
    SaveState();
  }
  if (!m_options.completeOnly) {
    m_sender.Reply(rpl::kBlockOk);
  }
  m_sender.Reply(rpl::kComplete);
  ++m_finished;
  Reset();
  if (mode == Mode::Mp3 || mode == Mode::Photo) {
    // The PC goes back to the fastest speed after each MP3 or photo; so does the box.
    m_sender.Flush();
    m_line.SetBaud(m_options.idleBaud);
  }
}

void BoxLoader::StartUpload(Mode mode, std::uint32_t address, std::uint32_t size) {
  const SparseMemory* area = BoxMemory::IsAddressed(mode) ? m_memory.RegionFor(mode) : nullptr;
  if (area == nullptr || size == 0 || !area->Contains(address, size)) {
    m_trace.Note("upload window outside the box's memory");
    EndSession(rpl::kGetDataNak);
    return;
  }
  m_upload = Upload{area, address, size, 0, 0};
  SendUploadBlock();
}

void BoxLoader::SendUploadBlock() {
  const unsigned block = m_upload.blocks + 1;
  Inject(block);
  if (m_options.faults.nakAfterUploadBlocks && m_upload.blocks >= *m_options.faults.nakAfterUploadBlocks) {
    m_trace.Note("fault: upload refused");
    EndSession(rpl::kGetDataNak);
    return;
  }
  const std::size_t length = std::min<std::size_t>(m_upload.size - m_upload.sent, kBlockSize);
  std::array<std::uint8_t, kBlockSize> data{};
  m_upload.area->Read(m_upload.address + m_upload.sent, data.data(), length);
  m_sender.Reply(rpl::kUploadData);
  m_sender.Data(data.data(), length);
  m_upload.sent += static_cast<std::uint32_t>(length);
  m_upload.blocks = block;
  m_state = State::AwaitUploadAck;
}

void BoxLoader::OnUploadAck() {
  m_trace.Command(m_header, Describe("after block", m_upload.blocks, (m_upload.size + kBlockSize - 1) / kBlockSize));
  if (m_upload.sent < m_upload.size) {
    SendUploadBlock();
    return;
  }
  ++m_finished;
  Reset();
}

void BoxLoader::Inject(unsigned block) {
  for (const InjectedReply& injection : m_options.faults.injections) {
    if (injection.block == block) {
      m_trace.Note("fault: injected reply");
      m_sender.Reply(injection.code, injection.parameter);
    }
  }
}

void BoxLoader::EndSession(std::uint8_t reply) {
  m_sender.Reply(reply);
  Reset();
}

void BoxLoader::Reset() {
  m_disk.Abort();
  m_download = Download{};
  m_upload = Upload{};
  m_state = State::Idle;
}

void BoxLoader::SaveState() {
  if (!m_options.stateDir.empty() && !m_memory.Save(m_options.stateDir)) {
    m_trace.Note("cannot save the memory state in " + m_options.stateDir.string());
  }
}

bool BoxLoader::IsSequenced(Mode mode) {
  // Hex-viewer blocks (the memory windows) always carry 0.
  return mode != Mode::Sdram && mode != Mode::Flash && mode != Mode::Eeprom;
}

bool BoxLoader::IsMedia(Mode mode) { return mode == Mode::Mp3 || mode == Mode::Photo || mode == Mode::Background; }

bool BoxLoader::WritesFlash(Mode mode) {
  return mode == Mode::Program || mode == Mode::GzipProgram || mode == Mode::Flash || mode == Mode::Boot ||
         mode == Mode::Database;
}

}  // namespace tw
