// The lens redraws only what changed between two lenses; whatever a user did in between,
// the picture must be the one a whole pass over it makes.
#include <functional>
#include <random>

#include <QPushButton>

#include "controls/Slider.h"
#include "effects/Lens.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

class LensSequence : public WindowTest {
protected:
    // Runs a user's action that draws a lens, and checks the working picture against a
    // whole pass over the picture as it was before, failures and their partial pass included.
    void ExpectLens(const std::function<void()>& action)
    {
        TBitmap before, reference;
        before.CopyFrom(&form->Working());
        reference.CopyFrom(&form->Reference());
        const size_t reportsBefore = notices.Reports().size();
        size_t thrown = 0;  // a slider set directly is outside any event the application reports
        try {
            action();
        } catch (const EInvalidGraphicOperation&) {
            thrown = 1;
        }
        bool failed = false;
        try {
            DrawLens(reference, before, form->Workspace.LensPoint, form->Slider1->Value());
        } catch (const EInvalidGraphicOperation&) {
            failed = true;
        }
        ASSERT_EQ(notices.Reports().size() - reportsBefore + thrown, failed ? 1u : 0u) << trail;
        ASSERT_EQ(PixelBytes(form->Working()), PixelBytes(before)) << trail;
        failures += failed;
        ++lenses;
    }

    QPoint Within(QRect area)
    {
        return {std::uniform_int_distribution<int32_t>(area.left(), area.right())(random),
                std::uniform_int_distribution<int32_t>(area.top(), area.bottom())(random)};
    }
    QPoint Anywhere(int32_t margin)
    {
        const TBitmap& working = form->Working();
        return Within(QRect(-margin, -margin, working.Width() + 2 * margin, working.Height() + 2 * margin));
    }
    // A point of the picture that the scroll area shows, where a press reaches the view.
    QPoint Inside()
    {
        return Within(form->Image1->visibleRegion().boundingRect() &
                      QRect(0, 0, form->Working().Width(), form->Working().Height()));
    }
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }

    void Step()
    {
        switch (Pick(13)) {
        case 0:
        case 1: {
            const QPoint at = Inside();
            trail += " click";
            ExpectLens([&] { Press(at); });
            Release(at);
            break;
        }
        case 2:
        case 3:
        case 4: {
            const QPoint at = Inside();
            trail += " alt-move";
            ExpectLens([&] { Move(at, Qt::AltModifier); });
            break;
        }
        case 5: {
            // With the button held the view keeps the moves, past its edges too; a lens
            // just below the bottom edge reads rows the picture does not have.
            const QPoint from = Inside();
            const QPoint to = Pick(2) == 0 ? Anywhere(150)
                                           : QPoint(Inside().x(), form->Working().Height() - 10 + Pick(40));
            trail += " alt-drag";
            ExpectLens([&] { Press(from); });
            ExpectLens([&] { Move(to, Qt::AltModifier); });
            Release(to);
            break;
        }
        case 6: {
            const int value = Pick(3) == 0 ? Pick(11) : Pick(kMaxLensStrength + 1);
            if (value == form->Slider1->Value())
                break;  // no change, no lens
            trail += " slider " + std::to_string(value);
            ExpectLens([&] { form->Slider1->SetValue(value); });
            break;
        }
        case 7:
            trail += " keep";
            Key(Qt::Key_K, Qt::ControlModifier);
            break;
        case 8:
            trail += " undo";
            Key(Qt::Key_U, Qt::ControlModifier);
            break;
        case 9: {
            // A crop, or, dragged along one edge only, an outline left in the picture.
            trail += " crop";
            const QPoint from = Inside();
            const QPoint to = Pick(3) == 0 ? QPoint(from.x(), Inside().y()) : Inside();
            Press(from, Qt::LeftButton, Qt::ControlModifier);
            Move(to, Qt::ControlModifier);
            Release(to, Qt::LeftButton, Qt::ControlModifier);
            if (form->Working().Width() < 60 || form->Working().Height() < 60)
                Load("photo.bmp", *photo);
            break;
        }
        case 10:
            trail += " turn";
            Key(Pick(2) == 0 ? Qt::Key_O : Qt::Key_N, Qt::ControlModifier);
            break;
        case 11: {
            const bool copy = Pick(2) == 0;
            trail += copy ? " copy" : " paste";
            Key(copy ? Qt::Key_C : Qt::Key_V, Qt::ControlModifier);
            break;
        }
        case 12: {
            // One tick of the morph or of the animation writes the working picture in place.
            // Thumbnails of different sizes cannot play; the refusal is no concern here.
            const bool morph = Pick(2) == 0;
            trail += morph ? " morph" : " animate";
            TTimer& timer = morph ? form->Timer1 : form->Timer2;
            QPushButton* button = morph ? form->Button4 : form->Button3;
            try {
                button->click();
                timer.Tick();
            } catch (const Exception&) {
            }
            if (timer.Enabled())
                button->click();
            break;
        }
        }
    }

    std::mt19937 random;
    std::unique_ptr<TBitmap> photo;
    std::string trail;
    int lenses = 0;
    int failures = 0;
};

TEST_F(LensSequence, EveryLensInARandomSessionIsTheWholePassesPicture)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        random.seed(seed);
        form->resize(900, 700);
        trail = "seed " + std::to_string(seed) + ":";
        photo = RandomBitmap(230 + Pick(60), 190 + Pick(60), seed);
        Load("photo.bmp", *photo);
        for (int step = 0; step < 70 && !HasFatalFailure(); ++step)
            Step();
    }
    // The sessions went through the failing lenses below and beside the picture as well.
    EXPECT_GT(lenses, 150);
    EXPECT_GT(failures, 3);
}

} // namespace
} // namespace mirth
