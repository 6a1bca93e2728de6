#pragma once

#include "session/image_loaders.h"
#include "session/session_context.h"
#include "session/upload_receiver.h"

namespace tw {

class MediaBatch;

// What the operator's choices set in motion before the box answers. The starters return whether the
// handshake went out. A cancelled or refused start sends nothing and leaves a running transfer alone.
class OperationDispatch {
 public:
  OperationDispatch(SessionContext& context, UploadReceiver& receiver, ImageLoaders& loaders, MediaBatch& batch)
      : m_context(context), m_receiver(receiver), m_loaders(loaders), m_batch(batch) {}

  bool OnSelchangePort();
  bool OnStart();
  bool StartDownload();
  bool StartUpload();
  // 1 when the upload window is acceptable, 0 after saying why not.
  int CheckAddressRange();

 private:
  bool StartMemoryDownload(Mode mode);
  bool StartMemoryUpload(Mode mode);
  bool StartDatabaseUpload();

  SessionContext& m_context;
  UploadReceiver& m_receiver;
  ImageLoaders& m_loaders;
  MediaBatch& m_batch;
};

}  // namespace tw
