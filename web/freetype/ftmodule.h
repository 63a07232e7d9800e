/* FreeType's modules in the web build: only what SDL_ttf needs to draw a TrueType font in one
 * colour (the TrueType driver, the SFNT tables and the monochrome rasterizer), so the page loads
 * less. scripts/web-libs puts it in place of include/freetype/config/ftmodule.h. */
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_raster1_renderer_class )
