#pragma once
// Text indexes of the channel editor's undo and redo (Edit menu).
namespace vantrel::channels {

inline constexpr int kTextUndo = 142;       // "Undo"
inline constexpr int kTextUndoNamed = 383;  // "Undo %s"
inline constexpr int kTextRedoNamed = 384;  // "Redo %s"
inline constexpr int kTextRedo = 385;       // "Redo"
inline constexpr int kTextEditMenu = 386;   // "Edit"

}  // namespace vantrel::channels
