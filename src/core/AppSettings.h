#pragma once
// The process-wide settings object and connection state.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "core/CommandChannelInterface.h"
#include "core/DataPortRange.h"
#include "core/SettingsStore.h"

namespace vantrel {

class CAppSettings {
 public:
  // Takes the defaults, then loads "SavePINCODE", "LastIP", "RecordPath",
  // "Language", "PINCODE" and "DataPorts" from the store, in that order.
  explicit CAppSettings(std::unique_ptr<ISettingsStore> store);

  std::string GetAppDir() const;
  void SetAppDir(const std::string& dir);

  std::string GetLastIP() const;
  void SetLastIP(const std::string& ip);  // memory only
  void SaveLastIP();

  std::string GetUserID() const { return "root"; }

  std::string GetPINCODE() const;
  // Memory, and the store while "Save PINCODE" is on.
  void SetPINCODE(const std::string& pin);
  // Writes the PIN code while "Save PINCODE" is on, otherwise takes any
  // stored one out: the code is never left in the file against the option.
  void StorePINCODE();

  // Stores the flag; turning it off also removes the stored PIN code.
  void SetSavePINCODE(bool save);
  bool GetSavePINCODE() const;

  // The record folder. "<home>/Recordings" stands in when none is set (and
  // becomes the setting) or when the set one is missing (the setting stays,
  // e.g. for a disk that is not mounted now).
  std::string GetRecordPath();
  // Accepts an existing folder and stores it; otherwise tells the user.
  bool SetRecordPath(const std::string& path);

  std::string GetLanguage() const;
  void SetLanguage(const std::string& language);

  // Stored as "DataPorts"; a stored text that is no valid range means any port.
  DataPortRange GetDataPorts() const;
  void SetDataPorts(const DataPortRange& ports);  // memory and store

  // Whether "Send to PVR" first copies the receiver's list to the PC
  // ("BackupBeforeSend", TRUE unless set to FALSE).
  bool GetBackupBeforeSend() const { return m_backupBeforeSend.load(); }
  void SetBackupBeforeSend(bool backup);  // memory and store

  std::string GetTargetVersion() const;
  void SetTargetVersion(const std::string& version);

  // The PIN-saving flag, read by the connect dialog.
  std::atomic<bool> m_savePinCode{false};

 private:
  void StoreSavePINCODE();
  void StoreRecordPath();
  void StoreLanguage();
  void LoadSavePINCODE();
  void LoadLastIP();
  void LoadRecordPath();
  void LoadLanguage();
  void LoadPINCODE();
  void LoadDataPorts();
  void LoadBackupBeforeSend();
  std::atomic<bool> m_backupBeforeSend{true};

  std::unique_ptr<ISettingsStore> m_store;
  mutable std::mutex m_mutex;  // workers read while the window thread writes
  std::string m_appDir = "./";
  std::string m_recordPath;
  std::string m_lastIP;
  std::string m_userID = "root";
  std::string m_pinCode = "8157";
  std::string m_language = "English";
  std::string m_receiverVersion;
  DataPortRange m_dataPorts;
};

// The process-wide settings object, created and loaded on the first call.
CAppSettings& GetSettings();

enum ConnectionMode : int { MODE_NOT_CONNECTED = 0, MODE_CONNECTED = 1, MODE_OFFLINE = 2 };

class CConnectionState {
 public:
  std::atomic<int> m_mode{MODE_NOT_CONNECTED};
  // Set after the last FTP login of a manager window succeeded, cleared when one failed.
  std::atomic<bool> m_ftpLoggedIn{false};

  // The receiver's command channel, made by the network layer on first need
  // (GetConnectedCommandChannel) or installed by a test; lives for the run.
  ICommandChannel* GetCommandChannel() const {
    std::lock_guard lock(m_channelMutex);
    return m_commandChannel.get();
  }
  void SetCommandChannel(std::unique_ptr<ICommandChannel> channel) {
    std::lock_guard lock(m_channelMutex);
    m_commandChannel = std::move(channel);
  }

 private:
  mutable std::mutex m_channelMutex;
  std::unique_ptr<ICommandChannel> m_commandChannel;
};

CConnectionState& GetConnectionState();

}  // namespace vantrel
