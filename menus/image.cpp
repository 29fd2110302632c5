#include "menus/image.h"

#include <GL/gl.h>

#include "resources/ini_file.h"
#include "resources/resource_lookup.h"
#include "resources/texture.h"
#include "resources/type_ids.h"

void Image::draw() {
    if (texture == nullptr) {
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture->glName());
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2d(Left, Top);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2d(Left, Bottom);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2d(Right, Bottom);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2d(Right, Top);
    glEnd();
    // Texturing stays on, as every other widget leaves it: the board's tiles are drawn textured
    // in the next frame.
}

void Image::readSection(const IniFile& ini, int section) {
    StoredObject* found = getResource(ini.getString(section, "texture", ""));
    if (found != nullptr && found->getTypeId() == TypeId::texture) {
        texture = static_cast<Texture*>(found);
    }
}
