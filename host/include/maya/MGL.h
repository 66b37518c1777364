#pragma once
// OpenGL as plug-ins draw with it in a locator's or a context's draw: the GL 1.x and GLU declarations, and
// the API's names for the GL scalar types.
#include <GL/gl.h>
#include <GL/glu.h>

typedef GLenum MGLenum;
typedef GLboolean MGLboolean;
typedef GLbitfield MGLbitfield;
typedef GLbyte MGLbyte;
typedef GLshort MGLshort;
typedef GLint MGLint;
typedef GLsizei MGLsizei;
typedef GLubyte MGLubyte;
typedef GLushort MGLushort;
typedef GLuint MGLuint;
typedef GLfloat MGLfloat;
typedef GLclampf MGLclampf;
typedef GLdouble MGLdouble;
typedef GLclampd MGLclampd;
typedef GLvoid MGLvoid;
