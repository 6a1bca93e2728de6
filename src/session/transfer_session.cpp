#include "session/transfer_session.h"

namespace tw {

TransferSession::TransferSession(LoaderLink& link, const SessionRoles& host, PhotoConverter& converter)
    : m_context(link, host),
      m_receiver(m_context),
      m_engine(m_context, m_receiver),
      m_loaders(m_context),
      m_batch(m_context, converter),
      m_dispatch(m_context, m_receiver, m_loaders, m_batch) {}

TransferSession::~TransferSession() { OnClosing(); }

void TransferSession::OnClosing() {
  m_context.transfer.SetClosing();
  m_context.transfer.End(TransferEnd::Cancelled);
  m_receiver.Discard();
  m_context.framer.Clear();
}

}  // namespace tw
