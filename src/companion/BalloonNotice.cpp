#include "companion/BalloonNotice.h"

namespace halvik::companion {

void BalloonNotice::shown(std::optional<Offer> offer) { m_shown = std::move(offer); }

std::optional<BalloonNotice::Offer> BalloonNotice::clicked() {
  std::optional<Offer> offer;
  offer.swap(m_shown);
  return offer;
}

}  // namespace halvik::companion
