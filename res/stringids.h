#pragma once

// Numbers of the string table's entries (res/strings.cpp), named by what they say. A menu item's
// text is under its command's number (res/commandids.h); these are the others.
namespace Str {
constexpr int PictureInfo = 102;           // format, width, height and depth of a picture file
constexpr int WaitCaption = 114;           // the progress window's default caption
constexpr int LoadPictureTitle = 115;      // the picture file dialog
constexpr int GeneratingCaption = 116;     // the progress window while elements are made
constexpr int OutlineColourTitle = 117;    // the colour chooser of the outline
constexpr int BackgroundColourTitle = 118; // the colour chooser of the solid background
constexpr int AllPictures = 120;           // the picture dialog's filter of every readable type

// Item texts the menus switch to.
constexpr int ShowPicture = 32775;
constexpr int HidePicture = 32776;
constexpr int FullScreenMode = 32777;
constexpr int WindowedMode = 32778;

// Messages and questions.
constexpr int CannotDelete = 32821;
constexpr int TooManySavedGames = 32822;
constexpr int ReplaceSavedGame = 32823;
constexpr int UnknownFormat = 32824;
constexpr int DamagedFile = 32825;
constexpr int SaveFailed = 32826;
constexpr int TurningFailed = 32827;
constexpr int NewGameQuestion = 32828;
constexpr int OutOfMemory = 32829;
constexpr int QuitQuestion = 32830;
constexpr int BadSavedGamesIndex = 32831;
constexpr int PositiveNumber = 32832;
constexpr int NonNegativeNumber = 32833;
constexpr int FullScreenFailed = 32834;
constexpr int SquareElementsAreExact = 32835;
constexpr int TooManyElements = 32838;
constexpr int BadGameName = 32840;
constexpr int DamagedGameEntry = 32921;        // a listed name that is no game's name, as the lists show it
constexpr int CannotLoadDamagedEntry = 32922;  // loading such an entry
constexpr int ContinueInterruptedGame = 32930; // the autosave of an earlier run, offered at start
constexpr int AutosaveFailedQuit = 32931;      // quitting although the game could not be kept
constexpr int PauseItem = 32980;               // the pause command's menu item
constexpr int LoadGameQuestion = 32983;        // F3 while a game is under way
constexpr int NoRecordsForGame = 32984;        // the records window of a game without earlier times
constexpr int NoRecordsAtAll = 32985;          // the list of records while none is kept
constexpr int RecordsListHeading = 32986;      // the list of every picture and cut with records
constexpr int RecordsPictureColumn = 32987;
constexpr int RecordsCutColumn = 32988;
constexpr int RecordsBestColumn = 32989;
constexpr int CutElementCount = 32990; // the cut dialog's line: elements, rows x columns
constexpr int SummaryElements = 32991; // the load dialog's summary of a saved game
constexpr int SummaryJoined = 32992;
constexpr int SummaryClock = 32993;
constexpr int SummarySaved = 32994;
constexpr int SummaryDamaged = 32995;
constexpr int RecordsListHint = 32996;
constexpr int ControlsMenuNote = 32997; // the Controls card: what the menus add to the keys
constexpr int ReloadPicture = 57666;
constexpr int ReloadPictureAndElements = 57667;
constexpr int DepthQuestion = 57668;

// Labels and formats of windows.
constexpr int HintColumn = 57675; // "колонка: %d"
constexpr int HintLabels = 57676; // "ряд\nколонка"
constexpr int WidthFormat = 57677;
constexpr int HeightFormat = 57678;
constexpr int PictureWidthFormat = 57679;
constexpr int PictureHeightFormat = 57680;
constexpr int PauseText = 57681;
} // namespace Str
