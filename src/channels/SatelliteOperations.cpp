// What the satellite and transponder dialog asks of the editor: deleting the
// services of a satellite or transponder, and a new satellite.
#include <algorithm>
#include <memory>

#include "channels/ChannelEditor.h"

namespace vantrel::channels {
namespace {

constexpr const char* kNewSatelliteName = "New Satellite";

template <typename Match>
std::vector<const Service*> ServicesWhere(const ChannelList& list, Match match) {
  std::vector<const Service*> out;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    for (const auto& s : list.Services(kind)) {
      if (match(*s)) out.push_back(s.get());
    }
  }
  return out;
}

// The transponder a service is tuned to: same frequency and polarisation. A
// transponder without a polarisation is written as "V"; a service without
// one is found by its frequency alone.
bool CarriesService(const Transponder& transponder, const Service& s) {
  if (s.Carrier.Frequency != transponder.Frequency) return false;
  const char pol = transponder.Pol == 'H' ? 'H' : 'V';
  return s.Carrier.Pol == '\0' || s.Carrier.Pol == pol;
}

bool CarriesService(const Satellite& satellite, const Service& s) {
  return std::any_of(satellite.mTransponder.begin(), satellite.mTransponder.end(),
                     [&s](const auto& transponder) { return CarriesService(*transponder, s); });
}

}  // namespace

Satellite* NewSatellite(ChannelList& list) {
  auto satellite = std::make_unique<Satellite>();
  satellite->SatName = kNewSatelliteName;
  satellite->SatIndex = static_cast<int>(list.Satellites().size());
  return list.AddSatellite(std::move(satellite));
}

Satellite* CChannelEditor::NewSatellite() {
  MarkModified();
  return channels::NewSatellite(m_list);
}

void CChannelEditor::DeleteServicesOfSatellite(const Satellite& satellite) {
  const int longitude = satellite.Longitude;
  std::vector<const Satellite*> others;
  for (const auto& other : m_list.Satellites()) {
    if (other.get() != &satellite && other->Longitude == longitude) others.push_back(other.get());
  }
  // Alone at its longitude, the satellite owns every service there. Beside
  // another one (a copy, or a new satellite saved at the same position) it
  // owns only what its own transponders carry and no other one does.
  DeleteServices(ServicesWhere(m_list, [&](const Service& s) {
    if (s.Carrier.Longitude != longitude) return false;
    if (others.empty()) return true;
    const auto carries = [&s](const Satellite* sat) { return CarriesService(*sat, s); };
    return carries(&satellite) && std::none_of(others.begin(), others.end(), carries);
  }));
}

void CChannelEditor::DeleteServicesOfTransponder(const Satellite& satellite, const Transponder& transponder) {
  const int longitude = satellite.Longitude;
  // A service another transponder of the satellite carries as well (a copy of
  // this one, or the other polarisation for a service without one) stays.
  DeleteServices(ServicesWhere(m_list, [&](const Service& s) {
    if (s.Carrier.Longitude != longitude || !CarriesService(transponder, s)) return false;
    return std::none_of(satellite.mTransponder.begin(), satellite.mTransponder.end(),
                        [&](const auto& other) { return other.get() != &transponder && CarriesService(*other, s); });
  }));
}

}  // namespace vantrel::channels
