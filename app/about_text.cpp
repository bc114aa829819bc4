#include "app/about_text.h"

namespace app {

std::string about_text() {
    const std::string two_breaks = "\r\r";
    return "The program - a trainer for eyes PELIDOR (v2.31) " + two_breaks +
           "BEGINNING: left mouse button - TRAINING with current size, right - CHECK of SIGHT, "
           "both buttons - exit" +
           two_breaks +
           "TRAINING: Figure at left - press left button, at right - right, both buttons - "
           "transition in BEGINNING" +
           two_breaks +
           "CHECK of SIGHT: the gap at left - press left button, on the right - right button, "
           "both buttons - transition in BEGINNING" +
           two_breaks +
           "Detailed instruction and the guest book on the README.md "
           "place." +
           "\r" + "Please, write about your experience of work with the program";
}

}  // namespace app
