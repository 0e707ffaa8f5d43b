#include "host/gl/KIVGLTarget.h"

KIVGLTarget::~KIVGLTarget() { Free(); }

int KIVGLTarget::Ensure(int width, int height) {
  if (mFramebuffer && width == mWidth && height == mHeight) return 1;
  Free();
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (width < 1 || height < 1 || width > largest || height > largest) return 0;
  glGenFramebuffers(1, &mFramebuffer);
  glGenRenderbuffers(1, &mColour);
  glGenRenderbuffers(1, &mDepth);
  glBindRenderbuffer(GL_RENDERBUFFER, mColour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, mDepth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mColour);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mDepth);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete) {
    Free();
    return 0;
  }
  mWidth = width;
  mHeight = height;
  return 1;
}

void KIVGLTarget::Free() {
  if (mFramebuffer) glDeleteFramebuffers(1, &mFramebuffer);
  if (mColour) glDeleteRenderbuffers(1, &mColour);
  if (mDepth) glDeleteRenderbuffers(1, &mDepth);
  mFramebuffer = mColour = mDepth = 0;
  mWidth = mHeight = 0;
}
