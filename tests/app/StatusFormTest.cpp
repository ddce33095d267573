// The status window's stop request: set by Cancel (which hides the window), cleared whenever the
// window is shown or activated.
#include "app/StatusForm.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(StatusForm, ControlsAsTheOperationsExpectThem)
{
    TStatusForm form;
    EXPECT_EQ(form.windowTitle(), "Processing ... please wait");
    EXPECT_EQ(form.Heading->text(), "Logging file system :");
    EXPECT_EQ(form.Button->text(), "Cancel");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    form.Show();
    EXPECT_FALSE(form.Heading2->isVisible());
    form.SetHeading2Visible(true);
    EXPECT_TRUE(form.Heading2->isVisible());

    // The text box keeps its size whatever passes through it.
    const QSize size = form.Text->size();
    form.SetText(std::string(500, 'x'));
    QApplication::processEvents();
    EXPECT_EQ(form.Text->size(), size);
    form.SetText("<b>not markup</b>");
    EXPECT_EQ(form.Text->textFormat(), Qt::PlainText);
    form.Hide();
}

TEST(StatusForm, CancelSetsTheStopRequestAndHides)
{
    TStatusForm form;
    TStatusWindow& status = form;
    status.SetCaption("Volumark logging Home");
    status.SetHeading("Now Logging :");
    status.Show();
    EXPECT_TRUE(status.IsVisible());
    EXPECT_FALSE(status.StopRequested());
    form.Button->click();
    EXPECT_TRUE(status.StopRequested());
    EXPECT_FALSE(status.IsVisible());
    QApplication::processEvents();
    EXPECT_TRUE(status.StopRequested()); // nothing clears it while hidden

    status.Show();
    EXPECT_FALSE(status.StopRequested());
    EXPECT_EQ(form.windowTitle(), "Volumark logging Home");
    EXPECT_EQ(form.Heading->text(), "Now Logging :");
    form.hide();
}

TEST(StatusForm, ActivationAndEscapeFollowTheRule)
{
    TStatusForm form;
    form.Show();
    form.ButtonClick();
    form.show(); // shown again by other means than Show()
    EXPECT_FALSE(form.StopRequested());
    // An activation that comes after Cancel hid the window is stale and keeps the request.
    form.ButtonClick();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_TRUE(form.StopRequested());

    form.Show();
    form.reject(); // Escape or the close button stand for Cancel
    EXPECT_TRUE(form.StopRequested());
    EXPECT_FALSE(form.isVisible());
}

TEST(StatusForm, WindowButtonsForUnattendedRuns)
{
    TStatusForm form;
    form.SetWindowButtons(true);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    form.SetWindowButtons(false);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
}

} // namespace
} // namespace vm
