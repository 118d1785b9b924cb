#pragma once

// A playback window on the offscreen platform with the fake clock: shows made
// of small solid-colour pictures, a modal run that records which play
// position was on screen when (in fake milliseconds from the start of the
// run), and helpers that answer the window's modal questions from the idle
// loop the way a user would, by pressing their buttons.

#include "core/Blendings.h"
#include "core/Setup.h"
#include "core/Tools.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "player/Show.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace showtest {

namespace fs = std::filesystem;

// Which play position came on screen, and when.
struct TStep {
    std::uint32_t At = 0;
    std::int32_t Position = -1;
};

class ShowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        Setup::SaveSharedData(saved_);
        rtl::SetClockForTests(100000);
        ui::SetVirtualTimeForTests(true);
        ui::BeginDialogScript();
        static int serial = 0;
        folder_ = fs::temp_directory_path() /
            ("showform_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        fs::create_directories(folder_);
        Setup::VisteloFilename = (folder_ / "show.vsf").string();
        Setup::ShowErrorInShow = false;
        Application->OnException = [](TObject*, Exception& e) { ADD_FAILURE() << "raised: " << e.Message; };
    }

    void TearDown() override
    {
        Application->OnIdle = nullptr;
        Application->OnException = nullptr;
        delete ShowForm;
        ShowForm = nullptr;
        show_.reset();
        ui::EndDialogScript();
        ui::ClearRecordedDialogs();
        ui::SetVirtualTimeForTests(false);
        rtl::ResetClock();
        Setup::RestoreSharedData(saved_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // A BMP file of one colour in the test folder.
    std::string Picture(const std::string& name, TColor colour, int width = 8, int height = 6)
    {
        TBitmap bitmap(width, height, pf24bit);
        bitmap.Canvas().Brush.Color = colour;
        bitmap.Canvas().FillRect(Rect(0, 0, width, height));
        const std::string path = (folder_ / name).string();
        bitmap.SaveToFile(path);
        return path;
    }

    static std::unique_ptr<TPicInfoObject> Entry(const std::string& file, std::int32_t pause = -1)
    {
        auto made = std::make_unique<TPicInfoObject>();
        TPicInfoObject& entry = *made;
        entry.FileName = file;
        entry.ShowImage = true;
        entry.Stretch = true;
        entry.Proportions = false;
        entry.ShowComments = false;
        entry.Pause = pause;
        entry.Blending = 0;
        entry.BackgroundColor = clBlack;
        return made;
    }

    // A show of count pictures in distinct colours (Colour(i)), playing
    // at once in a window, without logo, transitions or music.
    TVistelo& NewShow(int count, std::int32_t pause = 1000)
    {
        show_ = std::make_unique<TVistelo>();
        TVistelo& show = *show_;
        show.Pause = pause;
        show.Logo = lNoLogo;
        show.StartFullScreen = false;
        show.ShowNavigationBar = true;
        show.UseBlendings = false;
        show.PlayMusic = false;
        show.StartImmediately = true;
        show.EndAction = deAutoRepeat;
        show.ShowCommentsBox = false;
        for (int i = 0; i < count; ++i)
            show.AddDia(*Entry(Picture("p" + std::to_string(i) + ".bmp", Colour(i))));
        return show;
    }

    static TColor Colour(int i)
    {
        static const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua, clWhite, clMaroon};
        return colours[i % 8];
    }

    TShowForm& Form()
    {
        if (!ShowForm)
            Tools::CreateOwnerForm(Application, ShowForm);
        return *ShowForm;
    }

    // Takes the show over as a start operation does.
    TShowForm& Start(bool Running = true)
    {
        Form().InitVistelo(show_.get(), Running, false);
        return *ShowForm;
    }

    // Runs the window modally until it closes, stop() says so, or limitMs
    // of fake time have passed. idle() runs on every idle turn first.
    void Run(const std::function<bool()>& stop, std::uint32_t limitMs = 60000, const std::function<void()>& idle = {})
    {
        start_ = GetTickCount();
        std::int32_t last = -2;
        TShowForm& form = Form();
        Application->OnIdle = [&, this](TObject*, bool&) {
            const std::int32_t position = form.Stepper.Show ? form.Stepper.Show->CurrentIndex : -1;
            if (position != last) {
                steps_.push_back({Elapsed(), position});
                last = position;
            }
            if (idle)
                idle();
            if (form.Modal() && ((stop && stop()) || Elapsed() > limitMs))
                form.Close();
        };
        form.ShowModal();
        Application->OnIdle = nullptr;
    }

    std::uint32_t Elapsed() const { return GetTickCount() - start_; }

    std::vector<std::int32_t> Positions() const
    {
        std::vector<std::int32_t> positions;
        for (const TStep& step : steps_)
            if (step.Position >= 0)
                positions.push_back(step.Position);
        return positions;
    }

    // The colour in the middle of the slide on screen.
    TColor SlideColour()
    {
        TBitmap& slide = *Form().Display->SlideBitmap;
        return slide.Canvas().Pixels(slide.Width() / 2, slide.Height() / 2);
    }

    // The first modal form of class T, or nullptr.
    template <class T> static T* ModalForm()
    {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* form = dynamic_cast<T*>(Screen->Forms(i)); form && form->Modal())
                return form;
        return nullptr;
    }

    TSharedData saved_;
    fs::path folder_;
    std::unique_ptr<TVistelo> show_;
    std::vector<TStep> steps_;
    std::uint32_t start_ = 0;
};

} // namespace showtest
