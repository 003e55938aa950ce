#include "game/commands.h"

#include "res/strings.h"

const std::vector<MenuDef>& mainMenuDefinition() {
    static const std::vector<MenuDef> menus = {
        {"&Игра",
         {{Cmd::NewGame, "&Новая Игра...\tCtrl+N"},
          {0, ""},
          {Cmd::SaveGame, "&Сохранить Игру...\tF2"},
          {Cmd::LoadGame, "&Загрузить Игру...\tF3"},
          {0, ""},
          {Cmd::Settings, "Нас&тройки..."},
          {0, ""},
          {Cmd::Exit, "В&ыход"}}},
        {"&Действия",
         {{Cmd::LoadPicture, "З&агрузить Картинку...\tCtrl+O"},
          {Cmd::CutPicture, "&Разрезка Картинки..."},
          {Cmd::CreateElements, "Создать &Элементы\tEnter"}}},
        {"&Вид",
         {{Cmd::FullScreen, "П&олноэкранный Режим\tCtrl+M"},
          {Cmd::ShowPicture, "Показать &Картинку\tCtrl+P"}}},
        {"&Фон",
         {{32810, "&Дерево"},
          {32811, "Д&ерево +"},
          {32812, "&Известняк"},
          {32813, "И&звестняк +"},
          {32814, "&Розовый"},
          {32815, "Р&озовый +"},
          {32816, "Д&уб"},
          {32817, "Ду&б +"},
          {32818, "&Штукатурка"},
          {32819, "Ш&тукатурка +"},
          {0, ""},
          {Cmd::BackgroundSolid, "Од&нотонный..."}}},
        {"&Справка",
         {{Cmd::HelpContents, "&Содержание"},
          {Cmd::Controls, "&Управление..."},
          {0, ""},
          {Cmd::About, "&О программе..."}}},
    };
    return menus;
}

const std::vector<AcceleratorDef>& acceleratorTable() {
    static const std::vector<AcceleratorDef> table = {
        {Cmd::NewGame, "Ctrl+N"},     {Cmd::SaveGame, "F2"},           {Cmd::LoadGame, "F3"},
        {Cmd::LoadPicture, "Ctrl+O"}, {Cmd::CreateElements, "Return"}, {Cmd::CreateElements, "Enter"},
        {Cmd::FullScreen, "Ctrl+M"},  {Cmd::ShowPicture, "Ctrl+P"},    {Cmd::BackgroundMenu, "Ctrl+B"},
        {Cmd::Splash, "Ctrl+S"},      {Cmd::Pause, "Pause"},           {Cmd::PopupMenu, "F10"},
        {Cmd::Controls, "F1"},
    };
    return table;
}

CommandUpdate updateCommand(int id, const CommandContext& c) {
    CommandUpdate u;
    const GameFlags& f = c.flags;
    switch (id) {
    case Cmd::CutPicture:
        u.enabled = f.pictureLoaded == 1;
        break;
    case Cmd::CreateElements:
        // A second picture-turning worker would write the same pictures: hold the command back
        // while one runs.
        u.enabled = f.pictureLoaded == 1 && f.cutDone == 1 && !c.turningBusy;
        break;
    case Cmd::ShowPicture:
        u.enabled = f.pictureLoaded == 1;
        u.text = loadString(c.previewVisible ? Str::HidePicture : Str::ShowPicture);
        break;
    case Cmd::FullScreen:
        u.text = loadString(c.fullScreen ? Str::WindowedMode : Str::FullScreenMode);
        break;
    case Cmd::SaveGame:
        // While a loaded game's picture turns, the game is not shown yet: its clock has not
        // started, and neither saving nor pausing may act on it.
        u.enabled = f.elementsExist == 1 && f.gameCompleted == 0 && !c.turningBusy;
        break;
    case Cmd::Pause:
        u.enabled = !c.turningBusy;
        break;
    case Cmd::LoadGame:
        u.enabled = !c.turningBusy && c.savedGameCount && c.savedGameCount() > 0;
        break;
    case Cmd::LoadPicture:
    case Cmd::NewGame:
        u.enabled = !c.turningBusy;
        break;
    default:
        break;
    }
    return u;
}
