// The questions asked while adding pictures: a file already in the list and
// a file of an unknown extension, each answered Yes, No, Abort or All.

#include "editor/app/AddPictures.h"
#include "platform/ui/Controls.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

// A list of file names and a scripted asker that records its questions.
struct AddingRun {
    std::vector<std::string> List;
    std::deque<int> Answers;
    std::vector<std::string> Questions;

    void Add(const std::vector<std::string>& files, bool ask = true, bool doublePicsCheck = true)
    {
        AddPictures::TPictureTarget target{
            [this](const std::string& file) {
                for (const std::string& entry : List)
                    if (entry == file)
                        return true;
                return false;
            },
            [this](const std::string& file) { List.push_back(file); },
        };
        AddPictures::AddPictureFiles(files, ask, doublePicsCheck, target, [this](const std::string& question) {
            Questions.push_back(question);
            EXPECT_FALSE(Answers.empty()) << "unexpected question: " << question;
            if (Answers.empty())
                return static_cast<int>(mrNo);
            const int answer = Answers.front();
            Answers.pop_front();
            return answer;
        });
    }
};

} // namespace

TEST(AddPictures, DuplicateQuestionAnswers)
{
    struct Case {
        const char* name;
        std::deque<int> answers;
        std::vector<std::string> expected;
        size_t questions;
    };
    // The list holds a.jpg; b.jpg and a.jpg (twice) are added.
    const Case cases[] = {
        {"Yes adds it and asks again", {mrYes, mrYes}, {"a.jpg", "a.jpg", "b.jpg", "a.jpg"}, 2},
        {"No skips it and goes on", {mrNo, mrNo}, {"a.jpg", "b.jpg"}, 2},
        {"Abort keeps what was added", {mrAbort}, {"a.jpg"}, 1},
        {"All adds every further duplicate", {mrAll}, {"a.jpg", "a.jpg", "b.jpg", "a.jpg"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddingRun run;
        run.List = {"a.jpg"};
        run.Answers = c.answers;
        run.Add({"a.jpg", "b.jpg", "a.jpg"});
        EXPECT_EQ(run.List, c.expected);
        EXPECT_EQ(run.Questions.size(), c.questions);
        EXPECT_TRUE(run.Answers.empty());
    }
}

TEST(AddPictures, DuplicateQuestionText)
{
    AddingRun run;
    run.List = {"/bilder/a.jpg"};
    run.Answers = {mrNo};
    run.Add({"/bilder/a.jpg"});
    ASSERT_EQ(run.Questions.size(), 1u);
    EXPECT_EQ(run.Questions[0],
              "Die Datei \"/bilder/a.jpg\" ist schon in der Liste vorhanden.\r\rSoll sie dennoch hinzugefügt werden?");
}

TEST(AddPictures, DuplicatesAreAddedSilentlyWithoutTheCheckOrTheAsking)
{
    AddingRun unchecked;
    unchecked.List = {"a.jpg"};
    unchecked.Add({"a.jpg"}, true, false);
    EXPECT_EQ(unchecked.List.size(), 2u);

    AddingRun unasked;
    unasked.List = {"a.jpg"};
    unasked.Add({"a.jpg", "notes.txt"}, false, true);
    EXPECT_EQ(unasked.List.size(), 3u);
    EXPECT_TRUE(unasked.Questions.empty());
}

TEST(AddPictures, FileTypeQuestionAnswers)
{
    struct Case {
        const char* name;
        std::deque<int> answers;
        std::vector<std::string> expected;
    };
    // a.txt, b.jpg and c.doc are added to an empty list.
    const Case cases[] = {
        {"Yes adds it", {mrYes, mrYes}, {"a.txt", "b.jpg", "c.doc"}},
        {"No skips it", {mrNo, mrYes}, {"b.jpg", "c.doc"}},
        {"Abort ends the run", {mrAbort}, {}},
        {"All stops the question", {mrAll}, {"a.txt", "b.jpg", "c.doc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddingRun run;
        run.Answers = c.answers;
        run.Add({"a.txt", "b.jpg", "c.doc"});
        EXPECT_EQ(run.List, c.expected);
        EXPECT_TRUE(run.Answers.empty());
    }
}

TEST(AddPictures, FileTypeQuestionNamesTheExtensionWithItsDot)
{
    AddingRun run;
    run.Answers = {mrNo, mrNo};
    run.Add({"/b/scan.PCC", "/b/ohne"});
    ASSERT_EQ(run.Questions.size(), 2u);
    // The open dialog lists *.PCC, but no reader takes it.
    EXPECT_EQ(run.Questions[0],
              "Die Datei \"/b/scan.PCC\" hat eine Erweiterung (\".PCC\"), die keinem Unterstützten "
              "Dateiformat zuzuordnen werden kann.\r\rSoll sie dennoch hinzugefügt werden?");
    EXPECT_NE(run.Questions[1].find("hat eine Erweiterung (\"\")"), std::string::npos);
}

TEST(AddPictures, TheTwoQuestionsAreIndependent)
{
    // Refused as a duplicate, the file is still asked about its type, and a
    // Yes there does not undo the refusal.
    AddingRun refused;
    refused.List = {"x.txt"};
    refused.Answers = {mrNo, mrYes};
    refused.Add({"x.txt"});
    EXPECT_EQ(refused.Questions.size(), 2u);
    EXPECT_EQ(refused.List.size(), 1u);

    // An Abort at the type question ends the run although the duplicate was accepted.
    AddingRun aborted;
    aborted.List = {"x.txt"};
    aborted.Answers = {mrYes, mrAbort};
    aborted.Add({"x.txt", "y.jpg"});
    EXPECT_EQ(aborted.List, std::vector<std::string>{"x.txt"});
}

TEST(AddPictures, SupportedExtensions)
{
    const std::pair<const char*, bool> cases[] = {
        {"a.jpg", true},  {"a.JPEG", true}, {"a.Tif", true}, {"a.fax", true},  {"a..bmp", true},
        {"a.pcc", false}, {"a", false},     {"a.", false},   {"a.txt", false}, {"/ordner.jpg/bild", false},
    };
    for (const auto& [file, supported] : cases)
        EXPECT_EQ(AddPictures::IsSupportedPictureExt(file), supported) << file;
    EXPECT_EQ(AddPictures::SupportedPictureExts().size(), 35u);
}
