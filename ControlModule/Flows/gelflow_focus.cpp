// The S20Mini gel cabinet's autofocus: the SMBus lens steps while the gel preview rates the
// frames.
#include "gelflow.h"

#include "lensflow.h"

void GelFlow::atFocus20BW()
{
    LensFlow::startSmbusAtFocus(m_ctx, *this, this, atFocusThread);
}
