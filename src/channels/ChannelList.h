#pragma once
// The channel list model: satellites with their transponders, the
// tuner/LNB configuration records, the tuner connection values, the TV and
// radio services and the favourite groups of one channel editor window.
//
// Ownership: the list owns its satellites (which own their transponders), its
// configurations, its services and its favourite groups. Members of TV and
// Radio groups are references to services of the list; members of FastScan
// groups are copies owned by the group. Every pointer handed out stays valid
// until the record it points to is removed through this class.
//
// Texts are UTF-8 std::string (the 8-bit code page of the receiver's tools is
// the system's, UTF-8 here). The receiver's fixed buffers become maximum byte
// lengths: FitText cuts a text to a buffer at a character boundary; the file
// reader applies it to everything it reads.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::channels {

// The receiver's buffer sizes, terminator included: a text holds at most one
// byte less.
inline constexpr std::size_t kSatNameSize = 264;
inline constexpr std::size_t kServiceNameSize = 256;
inline constexpr std::size_t kProviderNameSize = 256;
inline constexpr std::size_t kGroupNameSize = 256;

// The longest prefix of text that fits a buffer of bufferSize bytes (with
// its terminator) without splitting a UTF-8 character.
std::string FitText(std::string_view text, std::size_t bufferSize);

inline constexpr int kBandUnset = 0;  // shown and written as Ku
inline constexpr int kBandKu = 1;
inline constexpr int kBandC = 2;

struct Transponder {
  int SatIndex = 0;  // SatIndex of the owning satellite
  int Frequency = 0;
  int SymbolRate = 0;
  int Tsid = 0;
  int Onid = 0;
  int Nid = 0;
  char Pol = '\0';  // 'H' or 'V'
  int FEC = 0;      // code, see Fec.h

  bool operator==(const Transponder&) const = default;
};

struct Satellite {
  int SatIndex = 0;  // 1-based position in the file it was read from
  std::string SatName;
  int Band = kBandUnset;
  int Longitude = 0;  // tenths of a degree, see Longitude.h
  std::vector<std::unique_ptr<Transponder>> mTransponder;
};

// Tuner/LNB settings; the field widths are the receiver's and the writer
// prints each with its signedness.
struct Configuration {
  std::uint8_t Slot = 0;
  std::int8_t Tuner = 0;
  std::uint16_t Longitude = 0;
  std::uint8_t Band = 0;            // 1 = Ku, 2 = C
  std::uint8_t FrequencyLevel = 0;  // 1 = "true"
  std::int8_t DisEqC11 = 0;
  std::int8_t DiSEqC = 0;
  std::uint8_t DisEqCRepeat = 0;
  std::uint8_t MoterType = 0;  // 0 off, 1 on, 2 USALS
  std::int16_t LO1Frequency = 0;
  std::int16_t LO2Frequency = 0;
  std::int16_t BandSwitchFreq = 0;
  std::int16_t MotorizedData = 0;
  std::int32_t IsOneCable = 0;
  std::uint8_t OneCablePin = 0;
  std::uint8_t OneCableMDU = 0;
  std::int16_t OneCableLoFreq1 = 0;
  std::int16_t OneCableLoFreq2 = 0;
  std::uint8_t OneCableUBSlot = 0;
  std::int16_t OneCableUBFreq = 0;
  std::uint16_t USALSLongitude = 0;

  bool operator==(const Configuration&) const = default;
};

struct TunerConfiguration {
  int ConnectType = 0;
  int SignalConfig = 0;
  int Tuner1Type = 0;
  int Tuner2Type = 0;

  bool operator==(const TunerConfiguration&) const = default;
};

// Tuning data of a service's transponder.
struct ServiceCarrier {
  int Longitude = 0;
  int Band = kBandUnset;
  int Frequency = 0;
  int SymbolRate = 0;
  char Pol = '\0';  // 'H', 'V' or 0 when unknown
  int FEC = 0;

  bool operator==(const ServiceCarrier&) const = default;
};

inline constexpr std::uint8_t kServiceTypeTv = 0;
inline constexpr std::uint8_t kServiceTypeRadio = 1;
inline constexpr std::uint8_t kServiceTypeData = 2;

struct Service {
  int ChannelNo = 0;
  std::string Name;
  std::string ProviderName;
  std::uint8_t ServiceType = kServiceTypeTv;  // 0 TV, 1 radio, 2 data
  std::int8_t Scrambled = 0;
  int Sid = 0;
  int Onid = 0;
  int Tsid = 0;
  int Vpid = 0;
  int Apid = 0;
  int PCRpid = 0;
  bool Locked = false;
  bool Skipped = false;
  bool IsHD = false;
  int LCNNo = 0;  // meaningful for members of FastScan groups
  ServiceCarrier Carrier;

  bool operator==(const Service&) const = default;
};

// The two service lists.
enum class ServiceKind { Tv = 0, Radio = 1 };

enum FavoriteKind : int {
  kFavoriteUnknown = -1,
  kFavoriteTv = 0,
  kFavoriteRadio = 1,
  kFavoriteFastScanTv = 2,
  kFavoriteFastScanRadio = 3,
};

inline bool IsFastScanKind(int kind) { return kind == kFavoriteFastScanTv || kind == kFavoriteFastScanRadio; }

// A favourite group. Each member entry is either a reference to a service of
// the list (TV and Radio groups) or a copy the group owns (FastScan groups);
// the ownership is recorded per entry, so a group whose kind changed while it
// was read (ChannelNo before ServiceType) still frees exactly its copies.
class FavoriteGroup {
 public:
  FavoriteGroup() = default;
  FavoriteGroup(int kind, std::string name, int groupId = 0)
      : GroupId(groupId), ServiceType(kind), Name(std::move(name)) {}
  FavoriteGroup(const FavoriteGroup&) = delete;
  FavoriteGroup& operator=(const FavoriteGroup&) = delete;

  int GroupId = 0;
  int ServiceType = kFavoriteTv;  // a FavoriteKind
  std::string Name;

  bool IsFastScan() const { return IsFastScanKind(ServiceType); }

  std::size_t MemberCount() const { return m_members.size(); }
  bool Empty() const { return m_members.empty(); }
  // The member at index i (the referenced service or the owned copy).
  Service* Member(std::size_t i) const { return m_members[i].service; }
  bool OwnsMember(std::size_t i) const { return m_members[i].owned != nullptr; }
  std::vector<Service*> Members() const;

  // Appends a reference to a service of the list (not owned).
  void AddReference(Service* service);
  // Appends a copy owned by the group; returns it.
  Service* AddCopy(std::unique_ptr<Service> copy);
  // Index of the first entry identical to member; npos when there is none.
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  std::size_t IndexOf(const Service* member) const;
  // Removes the entry at index, keeping the order of the rest; an owned copy is freed.
  void RemoveAt(std::size_t index);
  // Removes every entry that references (does not own) the service; returns the count.
  std::size_t RemoveReferencesTo(const Service* service);
  // Puts the entries in a new order: order[k] is the old index of the entry
  // that goes to position k. False (nothing changes) unless it is a permutation.
  bool Reorder(const std::vector<std::size_t>& order);
  // Drops every member (freeing the copies).
  void ClearMembers() { m_members.clear(); }

 private:
  struct Entry {
    Service* service = nullptr;
    std::unique_ptr<Service> owned;
  };
  std::vector<Entry> m_members;
};

class ChannelList {
 public:
  template <typename T>
  using Owned = std::vector<std::unique_ptr<T>>;

  ChannelList() = default;
  ~ChannelList();
  ChannelList(const ChannelList&) = delete;
  ChannelList& operator=(const ChannelList&) = delete;

  // --- contents (the containers are changed only through this class; the
  // records they hold may be edited in place)
  const Owned<Satellite>& Satellites() const { return mSatellite; }
  std::vector<Configuration>& Configurations() { return mConfiguration; }
  const std::vector<Configuration>& Configurations() const { return mConfiguration; }
  TunerConfiguration& Tuner() { return mTunerConfiguration; }
  const TunerConfiguration& Tuner() const { return mTunerConfiguration; }
  const Owned<Service>& TvServices() const { return mTvService; }
  const Owned<Service>& RadioServices() const { return mRadioService; }
  const Owned<Service>& Services(ServiceKind kind) const {
    return kind == ServiceKind::Tv ? mTvService : mRadioService;
  }
  const Owned<FavoriteGroup>& TvFavorites() const { return mTvFavorite; }
  const Owned<FavoriteGroup>& RadioFavorites() const { return mRadioFavorite; }
  const std::string& FilePath() const { return mFilePath; }
  void SetFilePath(std::string path) { mFilePath = std::move(path); }

  // --- services
  // Takes ownership: type 0 appends to the TV list, 1 to the radio list, 2
  // (data) and any other type is dropped. True for any non-null service.
  bool AddService(std::unique_ptr<Service> service);
  // Removes a service of the list (by identity; nothing happens for another):
  // first from every favourite group with Delete_ServiceInFavorit, then frees
  // it, keeping the order of the others.
  void RemoveService(const Service* service);
  // The same for many services in one pass over the lists and groups (for
  // deleting selections and all channels of a satellite).
  void RemoveServices(const std::vector<const Service*>& services);
  // The service at 1-based position n of a list; null outside 1..size.
  Service* ServiceAtPosition(ServiceKind kind, long long position) const;
  // 0-based index of a service of the list in its list; -1 when it is not there.
  long long IndexOfService(const Service* service) const;
  // The kind of list a service of the list is in (by identity).
  bool FindServiceKind(const Service* service, ServiceKind& kind) const;
  // Puts a list in a new order (Renumber, moves). False and nothing changes
  // unless order holds exactly the services of that list.
  bool SetServiceOrder(ServiceKind kind, const std::vector<Service*>& order);
  // True when the ChannelNo of every service equals its 1-based position.
  bool IsNumberedInListOrder(ServiceKind kind) const;

  // --- favourite groups
  // Kinds 0 and 2 append to the TV groups, all others to the radio groups.
  // True for a non-null group.
  bool AddFavoriteGroup(std::unique_ptr<FavoriteGroup> group);
  // Removes a group (by identity) with its member copies; false when it is not there.
  bool DeleteFavoriteGroup(const FavoriteGroup* group);
  // Removes a service from the groups of its kind; then, so that no
  // group can keep a dangling reference, also drops references to it from the
  // other kind's groups (a file can put TV references in a radio-listed group).
  void Delete_ServiceInFavorit(const Service* service);
  // Removes the first entry identical to member from the group (freeing it
  // when the group owns it), logging each removal. Not found: no change.
  void RemoveFromGroup(FavoriteGroup& group, const Service* member);
  // False for an empty group; FastScan groups compare ChannelNo, others identity.
  static bool IsInFavoriteGroup(const Service& service, const FavoriteGroup& group);

  // --- satellites and configurations
  Satellite* AddSatellite(std::unique_ptr<Satellite> satellite);
  // Removes a satellite with its transponders; false when it is not there.
  bool RemoveSatellite(const Satellite* satellite);
  void AddConfiguration(const Configuration& configuration) { mConfiguration.push_back(configuration); }

  // Name of the first satellite at that longitude, "Unknown" when none;
  // remembers the satellite found for the next lookup.
  std::string GetSatelliteNameByLongitude(int longitude);
  // "%d.%d E %s" / "%d.%d W %s" with the first satellite at that longitude;
  // empty when there is none.
  std::string GetSatelliteLabelByLongitude(int longitude) const;
  // Forgets the satellite remembered by GetSatelliteNameByLongitude (view
  // refills and moves call it; removing a satellite does it itself).
  void ForgetRecentSatellite() { m_recentSatellite = nullptr; }

  // --- clearing
  void ClearServices();  // also drops the groups' references to them
  void ClearFavoriteGroups();
  void ClearConfigurations() { mConfiguration.clear(); }
  void ClearSatellites();
  void ResetTunerConfiguration() { mTunerConfiguration = {}; }
  // Everything, and the file path.
  void Clear();
  // Exchanges the whole content (file path included) with another list;
  // pointers into either list keep pointing at the same records.
  void Swap(ChannelList& other) noexcept;

 private:
  Owned<FavoriteGroup>& GroupsOf(ServiceKind kind) { return kind == ServiceKind::Tv ? mTvFavorite : mRadioFavorite; }
  Owned<Service>& ListOf(ServiceKind kind) { return kind == ServiceKind::Tv ? mTvService : mRadioService; }
  void DeleteFromGroupsOfKind(const Service* service, ServiceKind kind);

  Owned<Satellite> mSatellite;
  std::vector<Configuration> mConfiguration;
  TunerConfiguration mTunerConfiguration;
  Owned<Service> mTvService;
  Owned<Service> mRadioService;
  Owned<FavoriteGroup> mTvFavorite;
  Owned<FavoriteGroup> mRadioFavorite;
  std::string mFilePath;
  const Satellite* m_recentSatellite = nullptr;
};

}  // namespace vantrel::channels
