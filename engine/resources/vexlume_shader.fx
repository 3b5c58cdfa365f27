// Vexlume's effect: draws the captured image into the RGB render buffer with the brightness
// applied, and packs the finished RGB image into YUY2 or UYVY for a packed-YUV overlay.
// The language is described in engine/d3dx/effect_text.h. Every pass samples point-wise with
// clamped addressing so that the lens stays sharp and a 1:1 quad copies texels exactly.

float4x4 WorldViewProj;  // kept for the renderer; the quad is pre-transformed
float Brightness;        // RGB_ps: (b - 1000) / 12750; RGBDark_ps: 0 or 1
float ShiftOneXPixel;    // 1 / W: the texture-coordinate width of one source pixel
texture Tex;

// Devices below pixel shader 2.0: the texture on stage 0 (set by the renderer) as it is.
technique No_ps
{
    pass P0
    {
        VertexShader = NULL;
        PixelShader = NULL;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = Texture;
        AlphaOp[0] = SelectArg1;
        AlphaArg1[0] = Texture;
        ColorOp[1] = Disable;
        AlphaOp[1] = Disable;
        MinFilter[0] = Point;
        MagFilter[0] = Point;
        MipFilter[0] = None;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
        AlphaBlendEnable = False;
        CullMode = None;
    }
}

// rgb x (1 + 12.75 x Brightness), that is rgb x b / 1000, saturated; alpha unchanged.
technique RGB_ps
{
    pass P0
    {
        VertexShader = NULL;
        Texture[0] = <Tex>;
        MinFilter[0] = Point;
        MagFilter[0] = Point;
        MipFilter[0] = None;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
        AlphaBlendEnable = False;
        CullMode = None;
        PixelShaderConstantF[0] = <Brightness>;
        PixelShader = asm
        {
            ps_2_0
            def c1, 12.75, 1.0, 0.0, 0.0
            dcl t0.xy
            dcl_2d s0
            texld r0, t0, s0
            mad r1.x, c0.x, c1.x, c1.y      // gain = 1 + 12.75 * Brightness (exactly 1 at 0)
            mul_sat r0.xyz, r0, r1.x
            mov oC0, r0
        };
    }
}

// rgb x (1 - 0.1 x Brightness): unchanged at 0, nine tenths at 1; alpha unchanged.
technique RGBDark_ps
{
    pass P0
    {
        VertexShader = NULL;
        Texture[0] = <Tex>;
        MinFilter[0] = Point;
        MagFilter[0] = Point;
        MipFilter[0] = None;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
        AlphaBlendEnable = False;
        CullMode = None;
        PixelShaderConstantF[0] = <Brightness>;
        PixelShader = asm
        {
            ps_2_0
            def c1, -0.1, 1.0, 0.0, 0.0
            dcl t0.xy
            dcl_2d s0
            texld r0, t0, s0
            mad r1.x, c0.x, c1.x, c1.y      // gain = 1 - 0.1 * Brightness (exactly 1 at 0)
            mul_sat r0.xyz, r0, r1.x
            mov oC0, r0
        };
    }
}

// Packed 4:2:2 YUV, BT.601 studio range. Output texel i (left W / 2 columns) takes source
// pixels 2i and 2i + 1: at u' = 2u their centres lie half a source pixel to either side.
// Y = 16 + 255 (0.2568 R + 0.5041 G + 0.0979 B) per pixel; U and V from the mean of the pair:
// 128 + 0.4951 (B - L) and 128 + 0.6270 (R - L), L the pair's full-range luma. The chroma
// weights below are halved because they apply to the sum of the pair.
// YUY2 bytes Y0, U, Y1, V are the texel's blue, green, red and alpha.
technique YUY2_ps
{
    pass P0
    {
        VertexShader = NULL;
        Texture[0] = <Tex>;
        MinFilter[0] = Point;
        MagFilter[0] = Point;
        MipFilter[0] = None;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
        AlphaBlendEnable = False;
        CullMode = None;
        PixelShaderConstantF[0] = <ShiftOneXPixel>;
        PixelShader = asm
        {
            ps_2_0
            def c1, 0.2567749, 0.5041199, 0.0979004, 0.0    // luma weights of r, g, b
            def c2, 2.0, 1.0, 0.0, 0.0                      // (u, v) -> (2u, v)
            def c3, -0.0740152, -0.1453122, 0.2193389, 0.0  // U weights of the pair's sum
            def c4, 0.2197532, -0.1840048, -0.0357338, 0.0  // V weights of the pair's sum
            def c5, 0.0627451, 0.5019608, 0.0627451, 0.5019608  // 16, 128, 16, 128 / 255
            def c6, -0.5, 0.0, 0.0, 0.0
            def c7, 0.5, 0.0, 0.0, 0.0
            dcl t0.xy
            dcl_2d s0
            mov r0, c2.z
            mul r0.xy, t0, c2               // (2u, v, 0, 0)
            mad r1, c0.x, c6, r0            // centre of pixel 2i
            mad r2, c0.x, c7, r0            // centre of pixel 2i + 1
            texld r1, r1, s0
            texld r2, r2, s0
            add r3, r1, r2
            dp3 r4.z, r1, c1                // Y0 - 16 in blue
            dp3 r4.x, r2, c1                // Y1 - 16 in red
            dp3 r4.y, r3, c3                // U - 128 in green
            dp3 r4.w, r3, c4                // V - 128 in alpha
            add_sat r4, r4, c5
            mov oC0, r4
        };
    }
}

// UYVY bytes U, Y0, V, Y1 are the texel's blue, green, red and alpha.
technique UYVY_ps
{
    pass P0
    {
        VertexShader = NULL;
        Texture[0] = <Tex>;
        MinFilter[0] = Point;
        MagFilter[0] = Point;
        MipFilter[0] = None;
        AddressU[0] = Clamp;
        AddressV[0] = Clamp;
        AlphaBlendEnable = False;
        CullMode = None;
        PixelShaderConstantF[0] = <ShiftOneXPixel>;
        PixelShader = asm
        {
            ps_2_0
            def c1, 0.2567749, 0.5041199, 0.0979004, 0.0    // luma weights of r, g, b
            def c2, 2.0, 1.0, 0.0, 0.0                      // (u, v) -> (2u, v)
            def c3, -0.0740152, -0.1453122, 0.2193389, 0.0  // U weights of the pair's sum
            def c4, 0.2197532, -0.1840048, -0.0357338, 0.0  // V weights of the pair's sum
            def c5, 0.5019608, 0.0627451, 0.5019608, 0.0627451  // 128, 16, 128, 16 / 255
            def c6, -0.5, 0.0, 0.0, 0.0
            def c7, 0.5, 0.0, 0.0, 0.0
            dcl t0.xy
            dcl_2d s0
            mov r0, c2.z
            mul r0.xy, t0, c2               // (2u, v, 0, 0)
            mad r1, c0.x, c6, r0            // centre of pixel 2i
            mad r2, c0.x, c7, r0            // centre of pixel 2i + 1
            texld r1, r1, s0
            texld r2, r2, s0
            add r3, r1, r2
            dp3 r4.y, r1, c1                // Y0 - 16 in green
            dp3 r4.w, r2, c1                // Y1 - 16 in alpha
            dp3 r4.z, r3, c3                // U - 128 in blue
            dp3 r4.x, r3, c4                // V - 128 in red
            add_sat r4, r4, c5
            mov oC0, r4
        };
    }
}
