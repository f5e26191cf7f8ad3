#pragma once
// Text indexes of the channel editor's Edit menu (undo and redo) and of the
// send report that names the receiver's saved list.
namespace vantrel::channels {

inline constexpr int kTextUndo = 142;       // "Undo"
inline constexpr int kTextUndoNamed = 407;  // "Undo %s"
inline constexpr int kTextRedoNamed = 408;  // "Redo %s"
inline constexpr int kTextRedo = 409;       // "Redo"
inline constexpr int kTextEditMenu = 410;   // "Edit"
// "Upload fail ... previous list was saved as:\n%s"
inline constexpr int kTextUploadFailBackup = 411;

}  // namespace vantrel::channels
