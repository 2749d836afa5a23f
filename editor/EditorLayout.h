#pragma once
// The editor window's layout: the one table of its controls (dialog template
// 102) from which every front end builds its window. Identifiers, captions,
// rectangles in dialog units and the Tab order are the window's design; nothing
// of it is spelled a second time anywhere else.

#include "window/DialogLayout.h"

namespace varnholt {

// Control identifiers of the editor window. "&Close" carries the dialog's OK
// identifier idOk, so Enter presses it; labels and group boxes without an
// identifier carry noControlId.
inline constexpr int idApply = 1000;
inline constexpr int idSourcePath = 1002;
inline constexpr int idBrowse = 1003;
inline constexpr int idSetCampaignDifficulty = 1004;
inline constexpr int idCampaignDifficulty = 1005;
inline constexpr int idSetBattleDifficulty = 1006;
inline constexpr int idBattleDifficulty = 1007;
inline constexpr int idSetBattleTimeLimit = 1008;
inline constexpr int idNoBattleTimeLimit = 1009;
inline constexpr int idOutputPath = 1010;
inline constexpr int idRefresh = 1011;
inline constexpr int idSetCampaignLength = 1012;
inline constexpr int idShortCampaign = 1013;
inline constexpr int idStatusLine = 1014;
inline constexpr int idSetUnitScale = 1015;
inline constexpr int idUnitScaleClass = 1016;
inline constexpr int idFactionName = 1017;
inline constexpr int idCampaignName = 1018;
inline constexpr int idSetYearAndSeason = 1019;
inline constexpr int idYearLabel = 1020;
inline constexpr int idYear = 1021;
inline constexpr int idYearSpin = 1022;
inline constexpr int idAD = 1023;
inline constexpr int idSummer = 1024;
inline constexpr int idWinter = 1025;
inline constexpr int idBC = 1026;
inline constexpr int idReleaseLabel = 1027;
inline constexpr int idUnitScale = 1028;
inline constexpr int idUnitScaleSpin = 1029;

// The editor window in the user's language.
const DialogLayout& editorDialog();
// The same in English, as the table is written.
const DialogLayout& englishEditorDialog();

} // namespace varnholt
