// What the satellite and transponder dialog asks of the editor: deleting the
// services of a satellite or transponder, and a new satellite.
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
  DeleteServices(ServicesWhere(m_list, [longitude](const Service& s) { return s.Carrier.Longitude == longitude; }));
}

void CChannelEditor::DeleteServicesOfTransponder(const Satellite& satellite, const Transponder& transponder) {
  const int longitude = satellite.Longitude;
  const int frequency = transponder.Frequency;
  DeleteServices(ServicesWhere(m_list, [longitude, frequency](const Service& s) {
    return s.Carrier.Longitude == longitude && s.Carrier.Frequency == frequency;
  }));
}

}  // namespace vantrel::channels
