#pragma once

// The wallpaper program's tests: a scratch folder as the user's config,
// data and runtime folders, the settings of a first start, and shows of
// plainly coloured pictures written with the editor's show writer.

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/Setup.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "rtl/StorageTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "wallpaper/WallPaperSetup.h"

class TWallpaperScratch {
public:
    TWallpaperScratch()
        : config_("XDG_CONFIG_HOME", temp_.File("config")), data_("XDG_DATA_HOME", temp_.File("data")),
          runtime_("XDG_RUNTIME_DIR", temp_.Path().string())
    {
        WallPaperSetup::DefaultSettings();
        savedShow_ = Setup::VisteloFilename;
    }
    ~TWallpaperScratch()
    {
        WallPaperSetup::DefaultSettings();
        Setup::VisteloFilename = savedShow_;
    }

    std::string File(const std::string& name) const { return temp_.File(name); }
    std::string IniText() const
    {
        std::ifstream in(WallPaperSetup::IniFileName(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A show of one picture per colour ("Bild0.bmp", ...), beside it.
    std::string WriteShow(const std::string& name, const std::vector<TColor>& colours, std::int32_t pause = 5000)
    {
        TConfigVistelo show;
        show.Pause = pause;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const std::string picture = "Bild" + std::to_string(i) + ".bmp";
            TBitmap bitmap(16, 12, pf24bit);
            bitmap.Canvas().Brush.Color = colours[i];
            bitmap.Canvas().FillRect(Rect(0, 0, 16, 12));
            bitmap.SaveToFile(temp_.File(picture));
            TPicInfoObject entry;
            entry.FileName = picture;
            entry.ShowImage = true;
            entry.Stretch = true;
            show.AddDia(entry);
        }
        const std::string file = temp_.File(name);
        if (!show.SaveToFile(file))
            ADD_FAILURE() << "the show could not be written";
        return file;
    }

private:
    TempFolder temp_;
    testenv::TScopedVariable config_;
    testenv::TScopedVariable data_;
    testenv::TScopedVariable runtime_;
    std::string savedShow_;
};
